# The deck the first stage gives ngspice in batch mode, made from the netlist (loaded after
# ../common/netlist-lines.awk). The netlist's lines stay as written, one for one, so that
# ngspice's "Error on line N" names the user's line; only "*#" lines, which belong to the second
# stage, become comments. What is added writes every plot into the raw file:
# - before a "quit", "exit" or "destroy" inside a block, the plots made so far, since after it
#   they are gone;
# - at the end of the last block, when only comments follow it, else in a block of its own
#   before ".end" (lines are added only where no line of the circuit comes after them), the
#   plots made by then. When the netlist has lines whose output batch mode prints
#   after the run (.print, .measure, .op ...), the circuit is run there as batch mode would run
#   it, and then the tail circuit is loaded, whose own empty run lets batch mode print those
#   lines from the plots just made: the circuit is simulated once. The tail holds the title and
#   the printed lines; with an ".op" it is the whole circuit with no analysis but the operating
#   point, since that report lists the devices as the solution left them (with other analyses
#   besides, batch mode lists them as the last analysis left them: there the report differs).
# What ngspice prints of the added commands lies between two marker lines, which the first
# stage cuts from the log.
#
# The paths come from the environment: KIVRA_DECK and KIVRA_TAIL (written), KIVRA_RAW (the raw
# file the plots go into) and KIVRA_MARK (the marker). Prints "raw" when nothing needs to be
# added (no block and no printed line: ngspice's own raw file is the result), else "block".

# The deck is kept until the end, when the place of the last block's end is known.
function emit(text) { deck[++deckCount] = text }

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

# The commands that write the plots not written yet, leaving the current plot, "filetype" and
# "appendwrite" as the user's commands left them; after them, the text of the closing marker.
function writePlots(closing,    mark, lines, count, i) {
    mark = ENVIRON["KIVRA_MARK"]
    count = split("echo " mark "\n" \
        "if $?kivra_written\n" \
        "else\n" \
        "  set kivra_written = ( const )\n" \
        "end\n" \
        "set kivra_here = $curplot\n" \
        "set kivra_append = 0\n" \
        "if $?appendwrite\n" \
        "  set kivra_append = 1\n" \
        "end\n" \
        "set kivra_type = kivra-none\n" \
        "if $?filetype\n" \
        "  set kivra_type = $filetype\n" \
        "end\n" \
        "set filetype = ascii\n" \
        "set appendwrite\n" \
        "foreach kivra_plot $plots\n" \
        "  set kivra_new = 1\n" \
        "  foreach kivra_old $kivra_written\n" \
        "    strcmp kivra_same $kivra_plot $kivra_old\n" \
        "    if $kivra_same = 0\n" \
        "      set kivra_new = 0\n" \
        "    end\n" \
        "  end\n" \
        "  if $kivra_new = 1\n" \
        "    setplot $kivra_plot\n" \
        "    write " ENVIRON["KIVRA_RAW"] "\n" \
        "    set kivra_written = ( $kivra_written $kivra_plot )\n" \
        "  end\n" \
        "end\n" \
        "setplot $kivra_here\n" \
        "if $kivra_append = 0\n" \
        "  unset appendwrite\n" \
        "end\n" \
        "strcmp kivra_same $kivra_type kivra-none\n" \
        "if $kivra_same = 0\n" \
        "  unset filetype\n" \
        "else\n" \
        "  set filetype = $kivra_type\n" \
        "end\n" \
        closing, lines, "\n")
    for (i = 1; i <= count; i++)
        emitted[++emittedCount] = lines[i]
}

# The commands for the end of the last block.
function finalCommands() {
    emittedCount = 0
    if (printed)
        emitted[++emittedCount] = "run"
    if (printed)
        writePlots("source " ENVIRON["KIVRA_TAIL"] "\necho " ENVIRON["KIVRA_MARK"] "-tail")
    else
        writePlots("echo " ENVIRON["KIVRA_MARK"])
}

FNR == 1 {
    emit($0)
    emitTail($0, 1)
    next
}
inBlock {
    if (kivraClosesBlock($0)) {
        inBlock = 0
        lastClose = deckCount + 1
        linesAfterBlock = 0
    } else if (kivraFirstWord($0) ~ /^(quit|exit|destroy)$/) {
        emittedCount = 0
        writePlots("echo " ENVIRON["KIVRA_MARK"])
        for (i = 1; i <= emittedCount; i++)
            emit(emitted[i])
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
    if (!ended)
        endLine = deckCount + 1
    ended = 1
    emit($0)
    next
}
# ngspice reads control blocks after ".end" too, but nothing else.
ended {
    emit($0)
    emitTail("*")
    next
}
kivraContinues($0) && (skipping || inPrinted) {
    emit($0)
    emitTail(skipping ? "*" : $0, inPrinted)
    next
}
{
    if ($0 ~ /[^ \t]/ && $0 !~ /^[ \t]*\*/ && !kivraClosesBlock($0))
        linesAfterBlock = 1
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
    if (inBlock) {
        lastClose = deckCount + 1
        emit(".endc")
    }
    mode = blocks || printed ? "block" : "raw"
    # Where the added commands go: before the last block's end, or in a block of their own
    # before ".end" (or at the end, when there is none).
    inLast = blocks && !linesAfterBlock
    at = inLast ? lastClose : (endLine ? endLine : deckCount + 1)
    for (line = 1; line <= deckCount; line++) {
        if (line == at && mode == "block") {
            finalCommands()
            if (!inLast)
                print ".control" > ENVIRON["KIVRA_DECK"]
            for (i = 1; i <= emittedCount; i++)
                print emitted[i] > ENVIRON["KIVRA_DECK"]
            if (!inLast)
                print ".endc" > ENVIRON["KIVRA_DECK"]
        }
        print deck[line] > ENVIRON["KIVRA_DECK"]
    }
    if (at > deckCount && mode == "block") {
        finalCommands()
        print ".control" > ENVIRON["KIVRA_DECK"]
        for (i = 1; i <= emittedCount; i++)
            print emitted[i] > ENVIRON["KIVRA_DECK"]
        print ".endc" > ENVIRON["KIVRA_DECK"]
    }
    writeTail()
    print mode
}
