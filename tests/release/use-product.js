// What a script host does with the installed product: it creates the tuner
// and the web-page folder and prints what they report, in one line:
//   tuner: <hosts> hosts, Excel's add-in on|off; web-page folder: <entries> entries
// With the argument "switch-excel-on" it first switches Excel's add-in on
// through the tuner.
var tuner = new ActiveXObject("QBSetup.QuillbarTuner");
var excel = -1;
for (var i = 0; i < tuner.Count; i++) {
    var name = tuner.Name(i);
    if (name == "Microsoft Excel")
        excel = i;
}
if (excel < 0) {
    WScript.Echo("the tuner lists no Microsoft Excel");
    WScript.Quit(1);
}
if (WScript.Arguments.length > 0 && WScript.Arguments(0) == "switch-excel-on")
    tuner.Enabled(excel) = 1;
var on = tuner.Enabled(excel);
var folder = new ActiveXObject("Talvo6.WebPageFolder");
var entries = folder.Count;
WScript.Echo("tuner: " + tuner.Count + " hosts, Excel's add-in " + (on ? "on" : "off") +
             "; web-page folder: " + entries + " entries");
