# shellcheck shell=sh
# Sourced by Talvex.exe: ngspice's plot windows on the display, and the processes of a run.

# The X clients that own an ngspice plot window, one number each: a window's id with its low 21
# bits cleared is its client's resource base. Every window of the tree counts, since a window
# manager puts each program's window inside a frame of its own.
plotClients() {
    xwininfo -root -tree 2>/dev/null | awk '
        /\("ngspice" / {
            id = $1
            sub(/^0x/, "", id)
            value = 0
            for (i = 1; i <= length(id); i++)
                value = value * 16 + index("0123456789abcdef", tolower(substr(id, i, 1))) - 1
            print int(value / 2097152)
        }' | sort -u
}

# The start time of a process, which tells it from a later one under the same number.
processStart() {
    [ -r "/proc/$1/stat" ] || return 1
    sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $20 }'
}

# What endPreviousRun needs to end the run of this terminal: its process group (the terminal
# makes the program it runs the leader of a group of its own) and its private folder.
recordProcess() {
    echo "$1 $(processStart "$1") $2"
}

# Ends the run a pid file names, if it still runs: its whole process group, so that ngspice, its
# plot windows and the terminal go, and removes its private folder.
endPreviousRun() {
    [ -r "$1" ] || return 0
    read -r pid start private <"$1" || true
    rm -f "$1"
    case $pid in
        "" | *[!0-9]*) return 0 ;;
    esac
    if [ "$(processStart "$pid")" = "$start" ] && [ "$(ps -o pgid= -p "$pid" | tr -d ' ')" = "$pid" ]; then
        kill -TERM "-$pid" 2>/dev/null
    fi
    case $private in
        /tmp/kivra-plot.*) rm -rf "$private" ;;
    esac
}

# Ends ngspice, in the terminal's process group led by the shell $1, once the plot windows of the
# run are all closed. A window seen at any time counts; that none is left counts only once every
# control line has run (the ready file is there), since until then more may come. The ended file
# tells the shell that its ngspice did not end by itself.
watchPlotWindows() {
    shell=$1
    ready=$2
    known=$3
    ended=$4
    command -v xwininfo >/dev/null 2>&1 || return 0
    seen=0
    while kill -0 "$shell" 2>/dev/null; do
        sleep 0.3
        ours=$(plotClients | grep -vxF -f "$known")
        if [ -n "$ours" ]; then
            seen=1
        elif [ "$seen" = 1 ] && [ -e "$ready" ]; then
            touch "$ended"
            if [ "$(ps -o pgid= -p "$shell" | tr -d ' ')" = "$shell" ]; then
                kill -TERM "-$shell" 2>/dev/null
            else
                pkill -TERM -P "$shell" -x ngspice 2>/dev/null
            fi
            return 0
        fi
    done
}
