# Sourced by the session harnesses.
#
#   begin_scratch
# Makes the harness's scratch folder, $work. When the harness exits, the process group whose
# leader is $main and the processes in the array stop_also are stopped, and $work goes.
begin_scratch() {
    work=$(mktemp -d)
    main=
    stop_also=()
    trap end_scratch EXIT
    trap 'exit 143' TERM INT HUP
}
end_scratch() {
    [ -n "$main" ] && kill -- -"$main" 2>/dev/null || true
    [ ${#stop_also[@]} -eq 0 ] || kill "${stop_also[@]}" 2>/dev/null || true
    wait 2>/dev/null || true
    # A portal's document store mounts itself in the runtime folder.
    if mountpoint -q "$work/runtime/doc" 2>/dev/null; then
        fusermount3 -uz "$work/runtime/doc" 2>/dev/null || umount -l "$work/runtime/doc" 2>/dev/null || true
    fi
    rm -rf "$work"
}

# The configuration of a private D-Bus daemon that starts nothing on demand (every process in a
# session is the harness's own to stop) and lets every client of the session do anything.
#   write_bus_conf FILE TYPE ADDRESS [EXTRA_XML]
# TYPE is session or system, ADDRESS a listen address (unix:dir=... or unix:path=...); EXTRA_XML
# goes into the default policy's place beside it (a service folder, another allow rule).
write_bus_conf() {
    local file=$1 type=$2 address=$3 extra=${4:-}
    cat >"$file" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>$type</type>
  <listen>$address</listen>
  <auth>EXTERNAL</auth>
  $extra
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
    <allow user="*"/>
  </policy>
</busconfig>
CONF
}
