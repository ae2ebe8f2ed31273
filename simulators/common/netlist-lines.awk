# What both simulator programs know of a netlist's lines, as ngspice reads them. Loaded with
# "awk -f netlist-lines.awk -f PROGRAM.awk"; it sets no rule of its own but the line breaks.
#
# A netlist's lines end in CR LF, LF or CR alone.
BEGIN { RS = "\r\n|\r|\n" }

# The first word of a line, in lower case: what ngspice decides a line's meaning by. A command
# word ends at a blank, a tab or an opening parenthesis ("plot(v(1))" is a plot).
function kivraFirstWord(line,    word) {
    word = line
    sub(/^[ \t]+/, "", word)
    sub(/[ \t(].*$/, "", word)
    return tolower(word)
}

# A control block opens and closes only on a line whose first word is ".control" or ".endc":
# a title or a comment that mentions them changes nothing. As in ngspice, the word may go on
# (".endcontrol" closes a block too).
function kivraOpensBlock(line) { return kivraFirstWord(line) ~ /^\.control/ }
function kivraClosesBlock(line) { return kivraFirstWord(line) ~ /^\.endc/ }

# A "*#" line is a command for the second stage, run on the results of the first.
function kivraIsStageTwoLine(line) { return line ~ /^[ \t]*\*#/ }

# The command of a "*#" line: what follows the mark.
function kivraStageTwoCommand(line) {
    sub(/^[ \t]*\*#/, "", line)
    return line
}

# A line that goes on the line before it.
function kivraContinues(line) { return line ~ /^[ \t]*\+/ }

# The analyses: lines that simulate when the circuit is run.
function kivraIsAnalysis(line) {
    return kivraFirstWord(line) ~ /^\.(ac|dc|tran|op|tf|noise|pz|sens|disto|pss|sp)$/
}

# Lines whose output batch mode prints once the circuit has run, when there is no raw file.
function kivraIsPrinted(line,    word) {
    word = kivraFirstWord(line)
    return word ~ /^\.(print|plot|four|fourier|op|tf)$/ || word ~ /^\.meas/
}

# The line that ends the netlist.
function kivraIsEnd(line) { return kivraFirstWord(line) == ".end" }
