# shellcheck shell=sh
# Sourced by both simulator programs: where ngspice starts, so that it reads a ".spiceinit" of
# the netlist's folder only when that file can be trusted.
#
# ngspice runs the first ".spiceinit" it finds, in the folder it starts in or else in the home
# folder, before it reads the netlist; such a file can run any program (its "shell" command). One
# in the netlist's folder is trusted when it belongs to the user and nobody else may change it.
# Otherwise ngspice starts in the private folder given, whose own ".spiceinit" moves to the netlist's
# folder and then runs the user's home one, if there is one; the reason the file was
# skipped is left in $skippedInit.
#
#   chooseStartFolder NETLIST-FOLDER PRIVATE-FOLDER MARK
# sets $startFolder. MARK lines around the move let the caller cut its message from the log.
chooseStartFolder() {
    skippedInit=
    startFolder=$1
    init=$1/.spiceinit
    [ -e "$init" ] || [ -L "$init" ] || return 0
    if [ ! -O "$init" ]; then
        skippedInit="it belongs to another user"
    elif [ -n "$(find -L "$init" -maxdepth 0 -perm /022 2>/dev/null)" ]; then
        skippedInit="others may change it"
    else
        return 0
    fi
    startFolder=$2
    ln -s "$1" "$2/netlist-folder" || return 1
    {
        echo "echo $3"
        echo "cd $2/netlist-folder"
        echo "echo $3"
        if [ -n "$HOME" ] && [ -r "$HOME/.spiceinit" ]; then
            cat "$HOME/.spiceinit"
            echo
        fi
    } >"$2/.spiceinit"
}
