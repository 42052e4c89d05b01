' Prepares the demo company DEMO for the stand-ins: its database (articles A1 100 at 23%,
' B1 50 at 13%, the surcharge article TXE), an ERP login and its settings file.
' Script files are read in the ANSI code page (Windows-1252) and Wine's VBScript has no ChrW, so
' the accented letters are Chr of their Windows-1252 codes.
Set s = CreateObject("QuorilVantrel.StandIns.Setup")
s.CreateCompany "VANTREL_DEMO"
s.AddErpUser "VANTREL_DEMO", "demo", "segredo"
s.AddArticle "VANTREL_DEMO", "A1", "Artigo um", 100, 23
s.AddArticle "VANTREL_DEMO", "B1", "Artigo dois", 50, 13
s.AddArticle "VANTREL_DEMO", "TXE", "Taxa Energ" & Chr(233) & "tica", 0, 23
For Each kv In Array("Api Next|Login|demo", "Api Next|password|segredo", "Api Next|Empresa|DEMO", _
        "Liga" & Chr(231) & Chr(227) & "o|Servidor|(local)", "Liga" & Chr(231) & Chr(227) & "o|Empresa|VANTREL_DEMO", "Documentos com taxa|Documentos|FT,0;FR,0", _
        "Documentos com taxa|Taxa|1,5", "Documentos com taxa|Pergunta|N", "Documentos com taxa|Artigo|TXE")
    p = Split(kv, "|"): s.WriteSetting "DEMO", p(0), p(1), p(2)
Next
WScript.Echo "DEMO ready in " & s.DataFolder
