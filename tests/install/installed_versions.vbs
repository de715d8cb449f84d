' Prints "installed:" and the version of every installed product of the upgrade code
' given as argument 0, as Windows Installer itself knows them.
Option Explicit
Dim installer : Set installer = CreateObject("WindowsInstaller.Installer")
Dim product, versions
versions = "installed:"
For Each product In installer.RelatedProducts(WScript.Arguments(0))
    versions = versions & " " & installer.ProductInfo(product, "VersionString")
Next
WScript.Echo versions
