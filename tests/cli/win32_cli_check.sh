#!/bin/sh
# The Windows quorvel-cli under wine, checked by exit code and output.
#   win32_cli_check.sh help WINE_RUN QUORVEL_CLI_EXE
#       the help of the program and of an action, and the usage errors of the Windows build
#   win32_cli_check.sh port WINE_RUN QUORVEL_CLI_EXE
#       runs on COM3, where the simulated module serves with finger 1 placed and lifted
mode=$1 wine_run=$2 cli=$3
failed=0
output_file=$(mktemp)

expect() {  # expect CODE TEXT ARGS...: the exit code, and a text that the output holds
    code=$1 text=$2
    shift 2
    "$wine_run" "$cli" "$@" >"$output_file" 2>&1 </dev/null
    status=$?
    if [ "$status" != "$code" ] || ! tr -d '\r' <"$output_file" | grep -qF -- "$text"; then
        echo "FAILED: quorvel-cli $*: exit $status (expected $code), output:"
        cat "$output_file"
        failed=1
    else
        echo "ok: quorvel-cli $*"
    fi
}

case "$mode" in
help)
    expect 0 "Usage: quorvel-cli [OPTIONS] ACTION" --help
    expect 0 "Usage: quorvel-cli enroll" enroll --help
    expect 2 "available on Linux only" --simulate enroll --slot 5
    expect 2 "port 17 is out of range 1..16" --port 17 handshake
    expect 2 "slot -1 is out of range 0..65535" --port 3 delete --slot -1
    ;;
port)
    expect 0 "logged in with the all-zero password" --port 3 handshake
    # The worker reads the slot from the console's own slot field: identify finds it there.
    expect 0 "enrolled at slot 7" --port 3 enroll --slot 7
    expect 0 '"slot":7' --port 'COM3' --json identify
    expect 0 ": match" --port '\\.\COM3' verify --slot 7
    expect 1 "refused LoadTemplate with confirmation code 0x0A" --port 3 verify --slot 8
    expect 4 "COM5 does not exist" --port 5 handshake
    ;;
*)
    echo "win32_cli_check.sh: unknown mode $mode"
    failed=1
    ;;
esac
rm -f "$output_file"
exit $failed
