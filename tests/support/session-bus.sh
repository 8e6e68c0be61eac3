# Sourced by the session harnesses: the configuration of a private D-Bus daemon that starts
# nothing on demand (every process in a session is the harness's own to stop) and lets every
# client of the session do anything.
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
