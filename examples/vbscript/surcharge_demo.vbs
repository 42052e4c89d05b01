' The energy surcharge from a script: enter the demo company, store a document through the
' stand-in ERP, save it through the add-in and watch the surcharge line appear.
' Run in a prefix made by scripts/wine-prefix.sh after examples/vbscript/demo_company.vbs.
Set api = CreateObject("QuorilVantrel.StandIns.NextApiConnection")
api.SetProduct "1GCO2022_40"
api.Connect CreateObject("QuorilVantrel.StandIns.Setup").SettingsFile("DEMO")
Set doc = api.NewSalesDocument
doc.Cab.TipoDocumento = "FT": doc.Cab.serie = "0": doc.Cab.ano = Year(Date): doc.Cab.Entidade = "C1"
For Each artigo In Array("A1", "B1")
    Set linha = api.NewDocumentLine: linha.Artigo = artigo
    doc.SugereValoresLin linha, True, True, True, True, True, True, True
    linha.Quantidade = 1: doc.AdicionaLinha linha
Next
doc.Inserir
Set sol = CreateObject("QuorilVantrel.Solucao")
bError = True: sol.App_OnEntrar "DEMO", "demo", 0, bError
sol.Vendas_OnGravar doc   ' shows "Foi alterado e finalizado o documento FT-0-..."
Set novo = api.NewSalesDocument: novo.Ler "FT", doc.Cab.NossoNoDocumento + 1, "0", Year(Date)
WScript.Echo "Surcharge line: " & novo.Linhas(novo.Linhas.Count).Artigo & " " & novo.Linhas(novo.Linhas.Count).PrecoUnitario
sol.App_OnSair bError
