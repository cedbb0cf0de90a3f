#!/usr/bin/env bash
# rocrating --serve as a user starts it: the links printed, a second server
# on the same port refused in one line with exit code 2, SIGTERM ending the
# first with 0, HTTPS. Usage: command.sh ROCRATING
set -euo pipefail
program=$1
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT

# Waits for the server of $pid to print its links in $1; fails when it ends.
wait_for_links() {
  until grep -q '^teacher: ' "$1"; do
    kill -0 "$pid" 2>/dev/null || { echo "the server ended: $(cat "$2")"; exit 1; }
    sleep 0.1
  done
}

XDG_DATA_HOME=$work/share "$program" --serve --listen 127.0.0.1:0 >"$work/out" 2>"$work/err" &
pid=$!
wait_for_links "$work/out" "$work/err"
students=$(sed -n 's/^students: //p' "$work/out" | head -1)
teacher=$(sed -n 's/^teacher: //p' "$work/out")
[[ $students =~ ^http://127\.0\.0\.1:[0-9]+/$ ]] || { echo "students: $students"; exit 1; }
[[ $teacher =~ ^${students}teacher\?token=[A-Za-z0-9_-]{22}$ ]] || { echo "teacher: $teacher"; exit 1; }
[[ $students != *token* ]]
[ -d "$work/share/rocrating/class" ] || { echo "no data folder"; exit 1; }

port=${students##*:}
port=${port%/}
status=0
"$program" --serve --listen "127.0.0.1:$port" >/dev/null 2>"$work/err2" || status=$?
[ "$status" -eq 2 ] || { echo "a port in use: exit $status"; exit 1; }
[ "$(wc -l <"$work/err2")" -eq 1 ] || { echo "a port in use said: $(cat "$work/err2")"; exit 1; }
grep -q "in use" "$work/err2"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { echo "SIGTERM: exit $status"; exit 1; }
[ ! -s "$work/err" ] || { echo "the server said: $(cat "$work/err")"; exit 1; }

# HTTPS with a certificate made here: a key others may read is refused in one
# line with exit code 2; with the key private, the page's config over TLS, in
# the server's --lang unless the page asks for another.
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -days 1 \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
chmod 644 "$work/key.pem"
tls=(--serve --listen 127.0.0.1:0 --lang en --tls-cert "$work/cert.pem" --tls-key "$work/key.pem")
status=0
XDG_DATA_HOME=$work/share "$program" "${tls[@]}" >/dev/null 2>"$work/err3" || status=$?
[ "$status" -eq 2 ] && grep -q "read by others" "$work/err3" || { echo "a readable key: exit $status, $(cat "$work/err3")"; exit 1; }
chmod 600 "$work/key.pem"
XDG_DATA_HOME=$work/share "$program" "${tls[@]}" >"$work/out4" 2>"$work/err4" &
pid=$!
wait_for_links "$work/out4" "$work/err4"
students=$(sed -n 's/^students: //p' "$work/out4" | head -1)
[[ $students =~ ^https:// ]] || { echo "students over TLS: $students"; exit 1; }
curl -sf --cacert "$work/cert.pem" "${students}api/config" | grep -q '"lang":"en"' || { echo "no config over TLS"; exit 1; }
curl -sf --cacert "$work/cert.pem" "${students}api/config?lang=ja" | grep -q '"lang":"ja"' || { echo "?lang=ja lost"; exit 1; }
echo "serve command: ok"
