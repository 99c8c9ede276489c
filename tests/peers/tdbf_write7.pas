{ Writes a dBase level 7 table with Free Pascal's TDbf, for the engine's tests: one field of
  each level 7 type (C, I, O, N, L, +, @, D), four records of which the second is deleted,
  Windows-1252 text written as bytes.
  Usage: tdbf_write7 FOLDER TABLE.DBF }
program tdbf_write7;
{$mode objfpc}{$H+}
uses SysUtils, DB, dbf, dbf_common, dbf_fields;

type
  TRaw = class
    function Translate(Dbf: TDbf; Src, Dest: PChar; ToOem: Boolean): Integer;
  end;

function TRaw.Translate(Dbf: TDbf; Src, Dest: PChar; ToOem: Boolean): Integer;
begin
  Result := StrLen(Src);
  if Src <> Dest then
    Move(Src^, Dest^, Result + 1);
end;

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
  Raw: TRaw;
  Defs: TDbfFieldDefs;
begin
  Raw := TRaw.Create;
  D := TDbf.Create(nil);
  D.FilePathFull := ParamStr(1);
  D.TableName := ParamStr(2);
  D.TableLevel := 7;
  D.OnTranslate := @Raw.Translate;
  Defs := TDbfFieldDefs.Create(nil);
  Defs.DbfVersion := xBaseVII;
  Add(Defs, 'NOMBRE', 'C', 20, 0);
  Add(Defs, 'CANTIDAD', 'I', 4, 0);
  Add(Defs, 'IMPORTE', 'O', 8, 0);
  Add(Defs, 'PRECIO', 'N', 12, 3);
  Add(Defs, 'ACTIVO', 'L', 1, 0);
  Add(Defs, 'CONTADOR', '+', 4, 0);
  Add(Defs, 'MOMENTO', '@', 8, 0);
  Add(Defs, 'FECHA', 'D', 8, 0);
  D.CreateTableEx(Defs);
  D.Open;

  D.Append;
  D.FieldByName('NOMBRE').AsString := #$D1'and'#$FA' ping'#$FC'ino';
  D.FieldByName('CANTIDAD').AsInteger := -123456;
  D.FieldByName('IMPORTE').AsFloat := 3.25;
  D.FieldByName('PRECIO').AsFloat := 12.5;
  D.FieldByName('ACTIVO').AsBoolean := True;
  D.FieldByName('MOMENTO').AsDateTime := EncodeDate(2024, 3, 15) + EncodeTime(10, 30, 45, 0);
  D.FieldByName('FECHA').AsDateTime := EncodeDate(2024, 3, 15);
  D.Post;

  D.Append;
  D.FieldByName('NOMBRE').AsString := 'Borrado';
  D.FieldByName('CANTIDAD').AsInteger := 7;
  D.Post;
  D.Delete;

  D.Append;
  D.FieldByName('NOMBRE').AsString := #$DA'ltimo '#$80;
  D.FieldByName('CANTIDAD').AsInteger := 2147483647;
  D.FieldByName('IMPORTE').AsFloat := -0.5;
  D.FieldByName('PRECIO').AsFloat := -1.25;
  D.FieldByName('ACTIVO').AsBoolean := False;
  D.Post;

  D.Append;
  D.FieldByName('NOMBRE').AsString := 'Vac'#$ED'o';
  D.Post;

  D.Close;
  D.Free;
  Defs.Free;
  Raw.Free;
end.
