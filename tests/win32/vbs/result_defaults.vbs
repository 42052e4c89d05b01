' Result created by a script, as the ERP may: its defaults, its properties and EnumResult.
Dim r
Set r = CreateObject("QuorilVantrel.Result")
Check TypeName(r.Mensagem) = "String", "Result.Mensagem is a String"
Check r.Mensagem = "", "Result.Mensagem starts empty"
Check r.tipo = 0, "Result.tipo starts Sucesso (0)"
Check r.ErroNum = 0, "Result.ErroNum starts 0"
Dim texto
texto = "Documento não existe."
r.Mensagem = texto
r.tipo = 1
r.ErroNum = 13
Check r.Mensagem = "Documento não existe.", "Result.Mensagem keeps an accented text"
Check r.tipo = 1 And r.ErroNum = 13, "Result.tipo and ErroNum keep what was set"
Check texto = "Documento não existe." And Len(texto) = 21, "the script's variable is left as it was"
' Texts put into the properties stay the script's, as texto did (the suite's heap checks see
' any use of a freed string): a long one, and texts given to the number properties.
Dim longo, kind, number
longo = String(100000, "x")
r.Mensagem = longo
Check Len(longo) = 100000 And r.Mensagem = longo, "a 100,000-character Mensagem leaves the script's text whole"
kind = "2"
r.tipo = kind
number = "13"
r.ErroNum = number
Check kind = "2" And r.tipo = 2, "tipo given a text leaves it whole"
Check number = "13" And r.ErroNum = 13, "ErroNum given a text leaves it whole"
Dim r2
Set r2 = CreateObject("QuorilVantrel.Result")
Check r2.Mensagem = "" And r2.tipo = 0, "a second Result has its own values"
Set r = Nothing
Set r2 = Nothing
