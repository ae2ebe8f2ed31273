# What the second stage gives ngspice (loaded after ../common/netlist-lines.awk): the netlist
# (or, when the netlist is not known, the control deck itself) as written, so that ngspice runs
# its control blocks in its own way, with the user's case, indentation and "quit". Only the
# "*#" lines, Kivra's commands on the results of the first stage, are turned into commands
# that ngspice runs: before the first control line the raw file is loaded (the context is then
# given back: the constants are the current plot again, as at ngspice's start), and each "*#"
# line runs on the loaded plot it is about (the newest AC plot for a decibel, phase or other AC
# quantity, else the last plot of the file) and then returns to the plot that was current.
# A "*#load" line is the deck's own and is left out.
#
# From the environment: KIVRA_RAW (the raw file, may be empty) and KIVRA_READY (a file the
# deck touches once every control line has run; empty for none).

function emit(text) { print text }

# The plots of the raw file, named as ngspice names them when it loads them into a fresh
# session: the kind and its count.
function readPlots(    raw, line, name, kind) {
    raw = ENVIRON["KIVRA_RAW"]
    if (raw == "")
        return
    while ((getline line < raw) > 0) {
        if (line !~ /^Plotname: /)
            continue
        name = substr(line, 11)
        if (name ~ /^AC /) kind = "ac"
        else if (name ~ /^Transient /) kind = "tran"
        else if (name ~ /^DC /) kind = "dc"
        else if (name ~ /^Operating /) kind = "op"
        else if (name ~ /^Transfer /) kind = "tf"
        else if (name ~ /^(S-Param|SP )/) kind = "sp"
        else if (name ~ /^Noise /) kind = "noise"
        else kind = "unknown"
        count[kind]++
        lastPlot = kind count[kind]
    }
    close(raw)
}

function usesStageTwo(file,    line, found) {
    while ((getline line < file) > 0) {
        if (kivraIsStageTwoLine(line) && kivraFirstWord(kivraStageTwoCommand(line)) != "load") {
            found = 1
            break
        }
    }
    close(file)
    return found
}

function loadResults() {
    if (loaded || !stageTwo)
        return
    loaded = 1
    emit(".control")
    if (ENVIRON["KIVRA_RAW"] != "" && lastPlot != "")
        emit("load " ENVIRON["KIVRA_RAW"])
    emit("setplot const")
    emit(".endc")
}

function stageTwoCommand(command,    plot) {
    plot = lastPlot
    if (("ac" in count) && tolower(command) ~ /(^|[^a-z_])(vdb|vp|vm|vr|vi|db|ph|phase|cph|mag|real|imag|group_delay|frequency)([^a-z_0-9]|$)/)
        plot = "ac" count["ac"]
    emit(".control")
    emit("set kivra_before = $curplot")
    if (plot != "")
        emit("setplot " plot)
    emit(command)
    emit("setplot $kivra_before")
    emit(".endc")
}

function finish() {
    if (finished)
        return
    finished = 1
    if (inBlock)
        emit(".endc")
    if (ENVIRON["KIVRA_READY"] != "") {
        emit(".control")
        emit("shell touch " ENVIRON["KIVRA_READY"])
        emit(".endc")
    }
}

BEGIN {
    readPlots()
    stageTwo = usesStageTwo(ARGV[1])
}
FNR == 1 {
    emit($0)
    next
}
finished {
    emit($0)
    next
}
inBlock {
    if (kivraClosesBlock($0))
        inBlock = 0
    emit($0)
    next
}
kivraOpensBlock($0) {
    loadResults()
    inBlock = 1
    emit($0)
    next
}
kivraIsStageTwoLine($0) {
    command = kivraStageTwoCommand($0)
    if (kivraFirstWord(command) == "load") {
        emit("*")
        next
    }
    loadResults()
    stageTwoCommand(command)
    next
}
kivraIsEnd($0) {
    finish()
    emit($0)
    next
}
{ emit($0) }
END { finish() }
