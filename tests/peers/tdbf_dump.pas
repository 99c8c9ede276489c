{ Prints a dBase table as Free Pascal's TDbf reads it, for the engine's tests:
    FIELD <name> <type letter> <size> <decimals>   one line per field
    RECORD                                        one line per visible record, then
    VALUE <hex bytes> | NULL                      one line per field
    COUNT <visible records>
  Text is shown as the file's bytes (no code page translation); floats with '.' as decimal
  point, date-times as yyyy-mm-dd hh:nn:ss, logicals as T or F.
  Usage: tdbf_dump FOLDER TABLE.DBF }
program tdbf_dump;
{$mode objfpc}{$H+}
uses SysUtils, DB, dbf;

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

function Hex(const S: RawByteString): string;
var
  I: Integer;
begin
  Result := '';
  for I := 1 to Length(S) do
    Result := Result + IntToHex(Ord(S[I]), 2);
end;

var
  D: TDbf;
  Raw: TRaw;
  F: TField;
  I, Count: Integer;
  Fmt: TFormatSettings;
  S: RawByteString;
begin
  Fmt := DefaultFormatSettings;
  Fmt.DecimalSeparator := '.';
  Raw := TRaw.Create;
  D := TDbf.Create(nil);
  D.FilePathFull := ParamStr(1);
  D.TableName := ParamStr(2);
  D.OnTranslate := @Raw.Translate;
  D.ReadOnly := True;
  D.Open;
  for I := 0 to D.DbfFieldDefs.Count - 1 do
    with D.DbfFieldDefs.Items[I] do
      WriteLn('FIELD ', FieldName, ' ', NativeFieldType, ' ', Size, ' ', Precision);
  Count := 0;
  D.First;
  while not D.EOF do
  begin
    WriteLn('RECORD');
    for I := 0 to D.FieldCount - 1 do
    begin
      F := D.Fields[I];
      if F.IsNull then
        WriteLn('NULL')
      else
      begin
        case F.DataType of
          ftFloat: S := FloatToStr(F.AsFloat, Fmt);
          ftDateTime: S := FormatDateTime('yyyy-mm-dd hh:nn:ss', F.AsDateTime);
          ftDate: S := FormatDateTime('yyyy-mm-dd', F.AsDateTime);
          ftBoolean: if F.AsBoolean then S := 'T' else S := 'F';
        else
          S := F.AsString;
        end;
        WriteLn('VALUE ', Hex(S));
      end;
    end;
    Inc(Count);
    D.Next;
  end;
  WriteLn('COUNT ', Count);
  D.Close;
  D.Free;
  Raw.Free;
end.
