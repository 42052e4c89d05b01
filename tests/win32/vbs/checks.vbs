' Shared by the suite's scripts: prints "ok: ..." or "FAIL: ..." for each check; the runner
' counts them. Included by run.sh in front of each script (cscript has no include).
Dim gFailed
gFailed = 0
Sub Check(ok, what)
    If ok Then
        WScript.Echo "ok: " & what
    Else
        WScript.Echo "FAIL: " & what
        gFailed = gFailed + 1
    End If
End Sub
