' The example report (examples/reports/VendasPorArtigo.rpt, July 2026, series A) to a PDF
' file through QuorilVantrel.CrystalReportMain. WScript.CreateObject with the prefix "Rel_"
' connects the object's events: each progress event Executar calls Rel_Executar below.
' Run it from the repository's folder (the report's path is relative to it):
'   cscript //nologo examples\vbscript\RelatorioPDF.vbs
' The data folder of the stand-ins needs the report's two databases (see the README).
Option Explicit

Sub Rel_Executar(DataHora, Descricao)
    WScript.Echo "Rel_Executar: " & Descricao
End Sub

Dim ficheiros, ficheiro, rel, falhou
' The PDF goes into the user's temporary folder.
Set ficheiros = WScript.CreateObject("Scripting.FileSystemObject")
ficheiro = ficheiros.GetSpecialFolder(2) & "\VendasPorArtigo.pdf"

Set rel = WScript.CreateObject("QuorilVantrel.CrystalReportMain", "Rel_")
rel.in_Mapa = "examples\reports\VendasPorArtigo.rpt"
rel.in_Servidor = "SRV"
rel.In_NomeBaseDados = "RELSISTEMA"
rel.in_NomeBaseDados_Next = "RELEMPRESA"
rel.in_UserId = "sa"
rel.in_Password = "x"
rel.in_Destino = 3
rel.FicheiroPDF = ficheiro
' The parameters' values in the order of their prompts (first and last day, series, only
' totals): as one text for the parameter window of AbrirMapa, and as the array that
' ExecutaMapa takes, whose element 0 is not a value.
rel.in_Pedidos = "|2026-07-01|2026-07-31|A|Falso"

' True when the run failed (the engine has shown why in a message box).
falhou = rel.ExecutaMapa(Array("", "2026-07-01", "2026-07-31", "A", "Falso"), False)
If falhou Then
    WScript.Echo "The report did not come out."
Else
    WScript.Echo "PDF written: " & ficheiro
End If
