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
Check texto = "Documento não existe.", "the script's variable is left as it was"
Dim r2
Set r2 = CreateObject("QuorilVantrel.Result")
Check r2.Mensagem = "" And r2.tipo = 0, "a second Result has its own values"
Set r = Nothing
Set r2 = Nothing
