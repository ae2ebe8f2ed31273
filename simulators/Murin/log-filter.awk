# The log as ngspice printed it, without what the first stage's own commands made it print
# (see run-deck.awk): the lines between two marker lines go, the markers with them, and after
# the tail circuit's marker what its own run reports. The raw file's own line goes too.
# Reads KIVRA_MARK and KIVRA_RAW from the environment; with KIVRA_LIVE set each line is passed
# on as it comes, for a reader that watches the log grow.
BEGIN {
    mark = ENVIRON["KIVRA_MARK"]
    rawLine = "ASCII raw file \"" ENVIRON["KIVRA_RAW"] "\""
}
cutting {
    if ($0 == mark)
        cutting = 0
    else if ($0 == mark "-tail") {
        cutting = 0
        afterTail = 1
    }
    next
}
$0 == mark {
    cutting = 1
    next
}
# What the tail's own run reports, before the printed output: the first run has reported it.
afterTail && (/^Doing analysis at TEMP/ || /^No\. of Data Rows : / || /^(Note|Warning): / ||
              /^  Measurements for / || $0 == "") { next }
{ afterTail = 0 }
$0 == rawLine { next }
{ print }
ENVIRON["KIVRA_LIVE"] != "" { fflush() }
