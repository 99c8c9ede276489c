{ Compiles the user guide SENECA.chm from its HTML Help project (.hhp) with Free Pascal's chm
  units, the same writer chmcmd uses, with one difference: a mapped topic is recorded under its
  name inside the archive ("inicio.htm"), as Windows' HTML Help expects, where chmcmd records
  the absolute path that the page had on the building machine and the context then opens
  nothing.

  make_chm PROJECT.hhp OUTPUT.chm }
program make_chm;

{$mode objfpc}{$H+}

uses
  {$ifdef unix}cwstring,{$endif} Classes, SysUtils, chmfilewriter, chmwriter, chmsitemap;

type
  TGuide = class
    Project: TChmProject;
    Folder: String;
    Toc, Index: TChmSiteMap;
    TocStream, IndexStream: TMemoryStream;
    function GetData(const DataName: String; out PathInChm: String; out FileName: String;
      var Stream: TStream): Boolean;
    procedure LastFile(Sender: TObject);
    procedure LoadSiteMap(const Name: String; Kind: TSiteMapType; out Map: TChmSiteMap;
      out Stream: TMemoryStream);
  end;

function TGuide.GetData(const DataName: String; out PathInChm: String; out FileName: String;
  var Stream: TStream): Boolean;
begin
  TMemoryStream(Stream).LoadFromFile(Folder + DataName);
  FileName := StringReplace(ExtractFileName(DataName), '\', '/', [rfReplaceAll]);
  PathInChm := '/' + ExtractFilePath(DataName);
  Result := False; { true would stop the writer }
end;

procedure TGuide.LoadSiteMap(const Name: String; Kind: TSiteMapType; out Map: TChmSiteMap;
  out Stream: TMemoryStream);
begin
  Map := nil;
  Stream := nil;
  if Name = '' then
    Exit;
  Stream := TMemoryStream.Create;
  Stream.LoadFromFile(Folder + ExtractFileName(Name));
  Stream.Position := 0;
  Map := TChmSiteMap.Create(Kind);
  Map.LoadFromStream(Stream);
  Stream.Position := 0;
end;

procedure TGuide.LastFile(Sender: TObject);
var
  Writer: TChmWriter;
begin
  Writer := TChmWriter(Sender);
  if Assigned(IndexStream) then
  begin
    Writer.AppendIndex(IndexStream);
    if Project.MakeBinaryIndex then
      Writer.AppendBinaryIndexFromSiteMap(Index, False);
  end;
  if Assigned(TocStream) then
  begin
    Writer.AppendTOC(TocStream);
    if Project.MakeBinaryTOC then
      Writer.AppendBinaryTOCFromSiteMap(Toc);
  end;
end;

procedure Report(Sender: TChmProject; ErrorKind: TChmProjectErrorKind; Msg: String;
  DetailLevel: Integer = 0);
begin
  if ErrorKind in [chmerror, chmwarning] then
  begin
    WriteLn(StdErr, ChmErrorKindText[ErrorKind], ': ', Msg);
    if ErrorKind = chmerror then
      Halt(1);
  end;
end;

var
  Guide: TGuide;
  Writer: TChmWriter;
  Output: TFileStream;
  Node: TChmContextNode;
  I: Integer;
begin
  if ParamCount <> 2 then
  begin
    WriteLn(StdErr, 'uso: make_chm PROYECTO.hhp SALIDA.chm');
    Halt(2);
  end;
  Guide := TGuide.Create;
  Guide.Project := TChmProject.Create;
  Guide.Project.OnError := @Report;
  Guide.Folder := IncludeTrailingPathDelimiter(ExtractFilePath(ExpandFileName(ParamStr(1))));
  Guide.Project.LoadFromHhp(ExpandFileName(ParamStr(1)), False);
  Guide.LoadSiteMap(Guide.Project.TableOfContentsFileName, stTOC, Guide.Toc, Guide.TocStream);
  Guide.LoadSiteMap(Guide.Project.IndexFileName, stIndex, Guide.Index, Guide.IndexStream);

  Output := TFileStream.Create(ParamStr(2), fmCreate);
  Writer := TChmWriter.Create(Output, False);
  Writer.OnGetFileData := @Guide.GetData;
  Writer.OnLastFile := @Guide.LastFile;
  Writer.FilesToCompress.AddStrings(Guide.Project.Files);
  Writer.FilesToCompress.AddStrings(Guide.Project.OtherFiles);
  Writer.DefaultPage := Guide.Project.DefaultPage;
  Writer.Title := Guide.Project.Title;
  Writer.DefaultFont := Guide.Project.DefaultFont;
  Writer.FullTextSearch := Guide.Project.MakeSearchable;
  Writer.HasBinaryTOC := Guide.Project.MakeBinaryTOC;
  Writer.HasBinaryIndex := Guide.Project.MakeBinaryIndex;
  Writer.IndexName := Guide.Project.IndexFileName;
  Writer.TocName := Guide.Project.TableOfContentsFileName;
  Writer.LocaleID := Guide.Project.LocaleID;
  if Assigned(Guide.Toc) then
    Writer.TocSitemap := Guide.Toc;
  for I := 0 to Guide.Project.Files.Count - 1 do
  begin
    if not FileExists(Guide.Folder + Guide.Project.Files[I]) then
    begin
      WriteLn(StdErr, 'Falta el archivo ', Guide.Project.Files[I]);
      Halt(1);
    end;
    Node := TChmContextNode(Guide.Project.Files.Objects[I]);
    if Assigned(Node) and (Node.ContextNumber <> 0) then
      Writer.AddContext(Node.ContextNumber, Guide.Project.Files[I]);
  end;
  Writer.Execute;
  Writer.Free;
  Output.Free;
end.
