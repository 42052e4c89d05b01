' The ERP's part played by a script: a company prepared through the stand-ins, a document
' stored through the ERP's own members, then the add-in's entry and save events.
Dim setup, api, doc, cab, line, sol, bError, ano, numero
ano = Year(Date)
Set setup = CreateObject("QuorilVantrel.StandIns.Setup")
setup.CreateCompany "VANTREL_VBS"
setup.AddErpUser "VANTREL_VBS", "vbs", "segredo"
setup.AddArticle "VANTREL_VBS", "A1", "Artigo um", 100, 23
setup.AddArticle "VANTREL_VBS", "B1", "Artigo dois", 50, 13
setup.AddArticle "VANTREL_VBS", "TXE", "Taxa Energética", 0, 23
setup.WriteSetting "VBS", "Api Next", "Login", "vbs"
setup.WriteSetting "VBS", "Api Next", "password", "segredo"
setup.WriteSetting "VBS", "Api Next", "Empresa", "VBS"
setup.WriteSetting "VBS", "Ligação", "Servidor", "(local)"
setup.WriteSetting "VBS", "Ligação", "Empresa", "VANTREL_VBS"
setup.WriteSetting "VBS", "Documentos com taxa", "Documentos", "FT,0"
setup.WriteSetting "VBS", "Documentos com taxa", "Taxa", "1,5"
setup.WriteSetting "VBS", "Documentos com taxa", "Pergunta", "N"
setup.WriteSetting "VBS", "Documentos com taxa", "Artigo", "TXE"

Set api = CreateObject("QuorilVantrel.StandIns.NextApiConnection")
api.SetProduct "1GCO2022_40"
Check api.Connect(setup.SettingsFile("VBS")), "the stand-in ERP logs in"
Set doc = api.NewSalesDocument
Set cab = doc.Cab
cab.TipoDocumento = "FT"
cab.serie = "0"
cab.ano = ano
cab.Entidade = "C1"
For Each artigo In Array("A1", "B1")
    Set line = api.NewDocumentLine
    line.TipoDeLinha = 1
    line.Artigo = artigo
    doc.SugereValoresLin line, True, True, True, True, True, True, True
    line.Quantidade = 1
    doc.AdicionaLinha line
Next
Check doc.Inserir = 0, "the document is stored"
numero = cab.NossoNoDocumento
Set doc = Nothing

Set sol = CreateObject("QuorilVantrel.Solucao")
bError = True
sol.App_OnEntrar "VBS", "utilizador", 0, bError
Check bError = False, "App_OnEntrar VBS writes bError False"
Check TypeName(bError) = "Boolean", "bError comes back as a Boolean"
Set doc = api.NewSalesDocument
doc.Ler "FT", numero, "0", ano
sol.Vendas_OnGravar doc
Set doc = api.NewSalesDocument
doc.Ler "FT", numero + 1, "0", ano
Check doc.Linhas.Count = 3, "the rewritten document has three lines"
Check doc.Linhas(3).Artigo = "TXE", "the surcharge line comes last"
Check Abs(doc.Linhas(3).PrecoUnitario - 2.25) < 0.000001, "its unit price is 2.25"
Dim cancelar
cancelar = True
sol.Vendas_OnCampoValidar doc, "artigo", 1, cancelar
Check cancelar = True, "Vendas_OnCampoValidar leaves blnCancelar True"
sol.App_OnSair bError
Check bError = False, "App_OnSair writes bError False"
Set doc = Nothing
Set cab = Nothing
Set line = Nothing
Set sol = Nothing
Set api = Nothing
Check setup.LiveObjects = 0, "no stand-in object left alive"
