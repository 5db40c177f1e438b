#!/bin/sh
# A script's OSC output as an independent receiver (liblo, osc_receiver.py)
# sees it: floats (float32), integers, strings, booleans, typed values and a
# bundle, exactly and in order; a call with a wrong argument sends nothing; a
# host name is resolved off the update cycle and then used. Both builds: the
# Windows program runs under wine and sends to the receiver on the Linux side.
#   usage: osc_output_test.sh "EMULATOR (empty for none)" FELTRIX
set -eu
run=$1 program=$2
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
receiver=""
cleanup() {
  [ -n "$receiver" ] && kill "$receiver" 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT
/usr/bin/python3 "$here/osc_receiver.py" > "$dir/received.txt" &
receiver=$!
for _ in $(seq 1 400); do grep -q '^port ' "$dir/received.txt" && break; sleep 0.05; done
port=$(sed -n 's/^port //p' "$dir/received.txt")
sed "s/PORT/$port/" > "$dir/FeltrixInit.lj" <<'LUA'
local h, p = "127.0.0.1", PORT
print(oscSend(h, p, "/floats", 0.5, -2, 0.1, 1e10))
print(oscSendTyped(h, p, "/ints", "iii", 0, -2147483648, 2147483647))
print(oscSend(h, p, "/strings", "", "two words", "5"))
print(oscSend(h, p, "/booleans", true, false))
print(pcall(oscSend, h, p, "/wrong", 1, {}))
print(oscSendTyped(h, p, "/typed", "ifdsTFNI", 7, 0.25, 0.1, "s"))
print(oscSendBundle(h, p, {{"/first", 1, "x"}, {"/second", 3, types = "iT"}}))
print(oscSend(h, p, "/empty"))
function FeltrixUpdateCallback()
  if oscSend("localhost", p, "/named", 1) then exit() end
end
LUA
(cd "$dir" && FELTRIX_AUTOMATION=1 QT_QPA_PLATFORM=offscreen timeout 60 $run "$program" 2>/dev/null | tr -d '\r' |
  grep -v 'PortAudio' > "$dir/printed.txt")
for _ in $(seq 1 400); do grep -q '^/named' "$dir/received.txt" && break; sleep 0.05; done
cat > "$dir/expected-printed.txt" <<'TXT'
true
true
true
true
false	incorrect argument #5 to oscSend: number, string or boolean expected, got table
true
true
true
TXT
cat > "$dir/expected-received.txt" <<TXT
port $port
/floats ffff 0.5 -2.0 0.10000000149011612 10000000000.0
/ints iii 0 -2147483648 2147483647
/strings sss '' 'two words' '5'
/booleans TF True False
/typed ifdsTFNI 7 0.25 0.1 's' True False None inf
bundle 2.3283064365386963e-10
/first fs 1.0 'x'
/second iT 3 True
end
/empty 
/named f 1.0
TXT
status=0
diff -u "$dir/expected-printed.txt" "$dir/printed.txt" || status=1
diff -u "$dir/expected-received.txt" "$dir/received.txt" || status=1
exit $status
