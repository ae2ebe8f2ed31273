# The raw file a control deck loads: the path of its first "*#load" line, with the deck's
# backslashes made slashes (loaded after ../common/netlist-lines.awk).
kivraIsStageTwoLine($0) && kivraFirstWord(kivraStageTwoCommand($0)) == "load" {
    path = kivraStageTwoCommand($0)
    sub(/^[ \t]*[^ \t]+[ \t]+/, "", path)
    sub(/[ \t]+$/, "", path)
    gsub(/\\/, "/", path)
    print path
    exit
}
