{ Writes a solved timetable SOLUC.DBF at dBase level 7 with Free Pascal's TDbf, as a host
  built on that engine would: DIA a numeric field, HORA a binary integer, the codes in
  character fields of other widths than the import's, one field the export does not read,
  and two records deleted after they were posted.
  Usage: tdbf_soluc7 FOLDER }
program tdbf_soluc7;
{$mode objfpc}{$H+}
uses SysUtils, DB, dbf, dbf_common, dbf_fields;

procedure Add(Defs: TDbfFieldDefs; const AName: string; AType: Char; ASize, ADecimals: Integer);
begin
  with Defs.AddFieldDef do
  begin
    FieldName := AName;
    NativeFieldType := AType;
    Size := ASize;
    Precision := ADecimals;
  end;
end;

var
  D: TDbf;
  Defs: TDbfFieldDefs;

procedure Entry(const Prof: string; Dia, Hora: Integer; const Asig, Grupo, Tarea, Aula: string;
  Deleted: Boolean);
begin
  D.Append;
  D.FieldByName('SESION').AsInteger := D.RecordCount + 1;
  D.FieldByName('PROF').AsString := Prof;
  D.FieldByName('DIA').AsInteger := Dia;
  D.FieldByName('HORA').AsInteger := Hora;
  D.FieldByName('ASIG').AsString := Asig;
  D.FieldByName('CODGRUPO').AsString := Grupo;
  if Tarea <> '' then
    D.FieldByName('TAREA').AsString := Tarea;
  if Aula <> '' then
    D.FieldByName('AULA').AsString := Aula;
  D.Post;
  if Deleted then
    D.Delete;
end;

begin
  D := TDbf.Create(nil);
  D.FilePathFull := IncludeTrailingPathDelimiter(ParamStr(1));
  D.TableName := 'SOLUC.DBF';
  D.TableLevel := 7;
  Defs := TDbfFieldDefs.Create(nil);
  Defs.DbfVersion := xBaseVII;
  Add(Defs, 'SESION', '+', 4, 0);
  Add(Defs, 'PROF', 'C', 14, 0);
  Add(Defs, 'ASIG', 'C', 15, 0);
  Add(Defs, 'DIA', 'N', 2, 0);
  Add(Defs, 'HORA', 'I', 4, 0);
  Add(Defs, 'CODGRUPO', 'C', 12, 0);
  Add(Defs, 'TAREA', 'C', 6, 0);
  Add(Defs, 'AULA', 'C', 30, 0);
  D.CreateTableEx(Defs);
  D.Open;
  Entry('ANA', 1, 1, 'MAT', 'ESO1A', '', 'A1', False);
  Entry('ANA', 2, 1, 'MAT', 'ESO1A', '', 'BORRADA', True);
  Entry('BEA', 0, 0, 'MAT', 'ESO1A', '', 'SIN', False);
  Entry('ANA', 1, 10, 'GUARD', 'ESO1A', '', '', False);
  Entry('BEA', 3, 2, 'MAT', 'ESO1A', '7', 'B1', False);
  Entry('BEA', 4, 2, 'MAT', 'ESO1A', '', 'BORRADA', True);
  D.Close;
  D.Free;
  Defs.Free;
end.
