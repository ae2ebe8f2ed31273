# The deck the first stage gives ngspice in batch mode, made from the netlist (loaded after
# ../common/netlist-lines.awk). The netlist's lines stay as written, one for one, so that
# ngspice's "Error on line N" names the user's line; only "*#" lines, which belong to the second
# stage, become comments. What is added writes every plot into the raw file:
# - before a "quit", "exit" or "destroy" inside a block, the plots made so far, since after it
#   they are gone;
# - a block of its own before ".end", after the user's blocks: the plots made by then. When the
#   netlist has lines whose output batch mode prints after the run (.print, .measure, .op ...),
#   that block runs the circuit as batch mode would and then loads the tail circuit, whose own
#   empty run lets batch mode print those lines from the plots just made, so that the circuit is
#   simulated once. The tail holds the title and the printed lines; with an ".op" it is the
#   whole circuit with no analysis but the operating point, since that report lists the
#   devices as the solution left them (with other analyses besides, batch mode would list them
#   as the last analysis left them: there the report differs).
# What ngspice prints of the added commands lies between two marker lines, which the first
# stage cuts from the log.
#
# The paths come from the environment: KIVRA_DECK and KIVRA_TAIL (written), KIVRA_RAW (the raw
# file the plots go into) and KIVRA_MARK (the marker). Prints "raw" when nothing needs to be
# added (no block and no printed line: ngspice's own raw file is the result), else "block".

function emit(text) { print text > ENVIRON["KIVRA_DECK"] }
# The tail's lines, one for each line of the netlist: the whole circuit's, and the printed
# lines' alone; which of the two is written is known at the end.
function emitTail(text, printedLine) {
    tailCount++
    wholeTail[tailCount] = text
    printedTail[tailCount] = printedLine ? text : "*"
}
# A tail without a printed line or ".op" would not make batch mode print the plots' output at
# all: it gets a measure line that measures nothing, as no analysis runs there.
function writeTail(    i, whole) {
    whole = hasOperatingPoint
    for (i = 1; i <= tailCount; i++)
        print (whole ? wholeTail[i] : printedTail[i]) > ENVIRON["KIVRA_TAIL"]
    if (!whole && !tailPrints)
        print ".meas tran kivra_unused max v(0)" > ENVIRON["KIVRA_TAIL"]
    print ".end" > ENVIRON["KIVRA_TAIL"]
}

# Writes the plots not written yet and leaves the current plot, "filetype" and "appendwrite"
# as the user's commands left them.
function writePlots(    mark) {
    mark = ENVIRON["KIVRA_MARK"]
    emit("echo " mark)
    emit("if $?kivra_written")
    emit("else")
    emit("  set kivra_written = ( const )")
    emit("end")
    emit("set kivra_here = $curplot")
    emit("set kivra_append = 0")
    emit("if $?appendwrite")
    emit("  set kivra_append = 1")
    emit("end")
    emit("set kivra_type = kivra-none")
    emit("if $?filetype")
    emit("  set kivra_type = $filetype")
    emit("end")
    emit("set filetype = ascii")
    emit("set appendwrite")
    emit("foreach kivra_plot $plots")
    emit("  set kivra_new = 1")
    emit("  foreach kivra_old $kivra_written")
    emit("    strcmp kivra_same $kivra_plot $kivra_old")
    emit("    if $kivra_same = 0")
    emit("      set kivra_new = 0")
    emit("    end")
    emit("  end")
    emit("  if $kivra_new = 1")
    emit("    setplot $kivra_plot")
    emit("    write " ENVIRON["KIVRA_RAW"])
    emit("    set kivra_written = ( $kivra_written $kivra_plot )")
    emit("  end")
    emit("end")
    emit("setplot $kivra_here")
    emit("if $kivra_append = 0")
    emit("  unset appendwrite")
    emit("end")
    emit("strcmp kivra_same $kivra_type kivra-none")
    emit("if $kivra_same = 0")
    emit("  unset filetype")
    emit("else")
    emit("  set filetype = $kivra_type")
    emit("end")
}

function finish() {
    if (finished)
        return
    finished = 1
    if (inBlock)
        emit(".endc")
    if (blocks || printed) {
        emit(".control")
        if (printed)
            emit("run")
        writePlots()
        if (printed) {
            emit("source " ENVIRON["KIVRA_TAIL"])
            emit("echo " ENVIRON["KIVRA_MARK"] "-tail")
        } else {
            emit("echo " ENVIRON["KIVRA_MARK"])
        }
        emit(".endc")
    }
    writeTail()
}

FNR == 1 {
    emit($0)
    emitTail($0, 1)
    next
}
finished {
    emit($0)
    next
}
inBlock {
    if (kivraClosesBlock($0)) {
        inBlock = 0
    } else if (kivraFirstWord($0) ~ /^(quit|exit|destroy)$/) {
        writePlots()
        emit("echo " ENVIRON["KIVRA_MARK"])
    }
    emit($0)
    emitTail("*")
    next
}
kivraOpensBlock($0) {
    inBlock = 1
    blocks = 1
    emit($0)
    emitTail("*")
    next
}
kivraIsStageTwoLine($0) {
    emit("*")
    emitTail("*")
    next
}
kivraIsEnd($0) {
    finish()
    emit($0)
    next
}
kivraContinues($0) && (skipping || inPrinted) {
    emit($0)
    emitTail(skipping ? "*" : $0, inPrinted)
    next
}
{
    skipping = kivraIsAnalysis($0)
    if (kivraFirstWord($0) == ".op")
        hasOperatingPoint = 1
    if (kivraIsPrinted($0))
        printed = 1
    # What batch mode prints from the plots, and the options that shape it.
    inPrinted = kivraFirstWord($0) ~ /^\.(print|plot|four|fourier|width|option|options|opt)$/
    if (kivraFirstWord($0) ~ /^\.(print|plot|four|fourier)$/)
        tailPrints = 1
    emit($0)
    # The operating point is run again in the tail, which costs one solution: its report lists
    # the devices' currents of that solution.
    emitTail(skipping && kivraFirstWord($0) != ".op" ? "*" : $0, inPrinted)
}
END {
    mode = blocks || printed ? "block" : "raw"
    finish()
    print mode
}
