# Shared helpers of scripts/demo and scripts/test (sourced, not run).
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
PATH="$PATH:/usr/sbin:/sbin"

PACKAGES=(qt6-base-dev libqt6sql6-mysql libmariadb-dev mariadb-server-core mariadb-client-core
          libxlsxwriter-dev libzip-dev ninja-build cmake g++ xvfb xauth fonts-liberation2 poppler-utils
          qt6-translations-l10n qt6-svg-dev libglib2.0-dev libqcustomplot-dev libeigen3-dev xdg-utils locales clang libclang-rt-14-dev)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the Debian packages that are missing.
ensure_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

# The Czech locale the tests run under (its C library writes a decimal comma).
ensure_czech_locale() {
    locale -a 2>/dev/null | grep -qi '^cs_CZ\.utf-\?8$' && return 0
    as_root localedef -i cs_CZ -f UTF-8 cs_CZ.UTF-8
}

# A TCP port on 127.0.0.1 that nobody listens on, from $1 upward.
free_port() {
    local p=${1:-33306}
    while (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; do p=$((p + 1)); done
    echo "$p"
}

# The server's socket: in DIR, or under /tmp when that path would be too
# long for a Unix socket (108 bytes).
db_socket() {
    local sock="$1/mysqld.sock"
    if [ ${#sock} -gt 100 ]; then
        sock="/tmp/prolis-$(printf '%s' "$1" | md5sum | cut -c1-16).sock"
    fi
    echo "$sock"
}

db_user_option() {
    if [ "$(id -u)" -eq 0 ]; then echo "--user=root"; else echo "--user=$(id -un)"; fi
}

# db_running DIR: the private server of DIR answers.
db_running() {
    local sock
    sock=$(db_socket "$1")
    [ -S "$sock" ] && mariadb --no-defaults --socket="$sock" -uroot -e 'SELECT 1' >/dev/null 2>&1
}

# db_start DIR PORT: initialises DIR/data when needed and starts the server.
db_start() {
    local dir=$1 port=$2
    mkdir -p "$dir"
    if [ ! -d "$dir/data/mysql" ]; then
        mariadb-install-db --no-defaults --datadir="$dir/data" "$(db_user_option)" \
            --auth-root-authentication-method=socket --skip-test-db --skip-name-resolve >"$dir/install.log" 2>&1 ||
            { cat "$dir/install.log"; return 1; }
    fi
    setsid mariadbd --no-defaults --datadir="$dir/data" --socket="$(db_socket "$dir")" --port="$port" \
        --bind-address=127.0.0.1 --skip-name-resolve "$(db_user_option)" --pid-file="$dir/mysqld.pid" \
        --log-error="$dir/error.log" --innodb-buffer-pool-size=32M --skip-log-bin </dev/null >/dev/null 2>&1 &
    local i
    for i in $(seq 1 200); do
        db_running "$dir" && { echo "$port" >"$dir/port"; return 0; }
        if ! kill -0 $! 2>/dev/null; then
            echo "The database server did not start:" >&2
            tail -5 "$dir/error.log" >&2
            return 1
        fi
        sleep 0.1
    done
    echo "The database server did not answer in 20 s." >&2
    return 1
}

# db_stop DIR: shuts the server of DIR down and waits for it to end.
db_stop() {
    local dir=$1
    [ -f "$dir/mysqld.pid" ] || return 0
    local pid
    pid=$(cat "$dir/mysqld.pid" 2>/dev/null)
    mariadb --no-defaults --socket="$(db_socket "$dir")" -uroot -e SHUTDOWN >/dev/null 2>&1 || kill "$pid" 2>/dev/null
    local i
    for i in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null
    return 0
}

# db_sql DIR: runs SQL from standard input as root.
db_sql() {
    mariadb --no-defaults --socket="$(db_socket "$1")" -uroot "${@:2}"
}

# db_grant DIR NAME: the read-only user prolis (password prolis) may SELECT on
# database NAME, and the material editor's user prolis_editor (password
# prolis) SELECT, INSERT, UPDATE and DELETE.
db_grant() {
    local dir=$1 name=$2
    db_sql "$dir" <<SQL
CREATE USER IF NOT EXISTS 'prolis'@'127.0.0.1' IDENTIFIED BY 'prolis';
CREATE USER IF NOT EXISTS 'prolis'@'localhost' IDENTIFIED BY 'prolis';
GRANT SELECT ON \`$name\`.* TO 'prolis'@'127.0.0.1';
GRANT SELECT ON \`$name\`.* TO 'prolis'@'localhost';
CREATE USER IF NOT EXISTS 'prolis_editor'@'127.0.0.1' IDENTIFIED BY 'prolis';
CREATE USER IF NOT EXISTS 'prolis_editor'@'localhost' IDENTIFIED BY 'prolis';
GRANT SELECT, INSERT, UPDATE, DELETE ON \`$name\`.* TO 'prolis_editor'@'127.0.0.1';
GRANT SELECT, INSERT, UPDATE, DELETE ON \`$name\`.* TO 'prolis_editor'@'localhost';
FLUSH PRIVILEGES;
SQL
}

# db_load DIR NAME FILE...: creates database NAME from the schema and the
# files, and grants its users (db_grant).
db_load() {
    local dir=$1 name=$2
    shift 2
    db_sql "$dir" -e "DROP DATABASE IF EXISTS \`$name\`; CREATE DATABASE \`$name\` CHARACTER SET utf8mb4"
    { cat "$ROOT/db/schema.sql"; cat "$@"; } | db_sql "$dir" "$name"
    db_grant "$dir" "$name"
}

# ---- A three-node MariaDB Galera cluster on 127.0.0.1 (scripts/cluster) ----

CLUSTER_PACKAGES=(galera-4 rsync mariadb-server)

# The cluster's packages; mariadb-server only for its state-transfer scripts,
# so its own service is kept from starting while it is installed.
ensure_cluster_packages() {
    local missing=()
    for p in "${CLUSTER_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local had_policy=0
    [ -e /usr/sbin/policy-rc.d ] && had_policy=1
    if [ $had_policy -eq 0 ]; then
        printf '#!/bin/sh\nexit 101\n' | as_root tee /usr/sbin/policy-rc.d >/dev/null
        as_root chmod +x /usr/sbin/policy-rc.d
    fi
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    local rc=0
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" || rc=$?
    [ $had_policy -eq 0 ] && as_root rm -f /usr/sbin/policy-rc.d
    return $rc
}

# The data of a node, writable for the state transfer's rsync daemon.
node_files_for_transfer() {
    chmod -R a+rwX "$1"
    if [ "$(id -u)" -eq 0 ]; then chown -R nobody "$1/data" 2>/dev/null || true; fi
}

# cluster_node_start DIR N [--wsrep-new-cluster]: starts node N (1..3) of the
# cluster in DIR (ports from DIR/ports) and waits until it is synced.
cluster_node_start() {
    local dir=$1 n=$2 extra=${3:-}
    local node="$dir/node$n"
    # shellcheck disable=SC2046
    set -- $(cat "$dir/ports")
    local client=$((n)) group=$((n + 3)) ist=$((n + 6)) sst=$((n + 9))
    local ports=("$@")
    local port=${ports[$((client - 1))]} g=${ports[$((group - 1))]} i=${ports[$((ist - 1))]} s=${ports[$((sst - 1))]}
    local address="gcomm://127.0.0.1:${ports[3]},127.0.0.1:${ports[4]},127.0.0.1:${ports[5]}"
    # A state transfer's rsync daemon runs as nobody: the files the server
    # wrote since (databases created later are private to their owner) must
    # be nobody's to write and to set the modes of.
    node_files_for_transfer "$node"
    [ -n "$extra" ] && address="gcomm://"
    setsid mariadbd --no-defaults --datadir="$node/data" --socket="$(db_socket "$node")" --port="$port" \
        --bind-address=127.0.0.1 --skip-name-resolve "$(db_user_option)" --pid-file="$node/mysqld.pid" \
        --log-error="$node/error.log" --innodb-buffer-pool-size=32M \
        --binlog-format=ROW --innodb-autoinc-lock-mode=2 --wsrep-on=ON \
        --wsrep-provider=/usr/lib/galera/libgalera_smm.so --wsrep-cluster-name=prolis \
        --wsrep-cluster-address="$address" --wsrep-node-address="127.0.0.1:$g" \
        --wsrep-provider-options="gmcast.listen_addr=tcp://127.0.0.1:$g;ist.recv_addr=127.0.0.1:$i;gcache.size=64M" \
        --wsrep-sst-method=rsync --wsrep-sst-receive-address="127.0.0.1:$s" $extra \
        </dev/null >/dev/null 2>&1 &
    local pid=$! k
    for k in $(seq 1 600); do
        if db_running "$node" &&
            [ "$(db_sql "$node" -N -e "show status like 'wsrep_local_state_comment'" 2>/dev/null | cut -f2)" = Synced ]; then
            echo "$port" >"$node/port"
            return 0
        fi
        if ! kill -0 $pid 2>/dev/null; then
            echo "Node $n of the cluster did not start:" >&2
            tail -15 "$node/error.log" >&2
            return 1
        fi
        sleep 0.1
    done
    echo "Node $n of the cluster was not synced in 60 s." >&2
    tail -15 "$node/error.log" >&2
    return 1
}

# cluster_start DIR: three nodes on 127.0.0.1 with free ports (client ports
# in DIR/nodeN/port), the first one starting the cluster.
cluster_start() {
    local dir=$1
    mkdir -p "$dir"
    # Below the kernel's range of ephemeral ports: a node keeps connecting to
    # the group ports of nodes not yet up, and such a connection could be
    # given the very port it connects to (a connection to itself), which the
    # node then cannot listen on.
    local ports=() p=24400 k
    for k in $(seq 1 12); do
        p=$(free_port "$p")
        ports+=("$p")
        p=$((p + 1))
    done
    echo "${ports[*]}" >"$dir/ports"
    mkdir -p "$dir/node1"
    mariadb-install-db --no-defaults --datadir="$dir/node1/data" "$(db_user_option)" \
        --auth-root-authentication-method=socket --skip-test-db --skip-name-resolve >"$dir/node1/install.log" 2>&1 ||
        { cat "$dir/node1/install.log"; return 1; }
    # The joiners start from a copy (the state transfer then moves little);
    # their rsync daemon runs as nobody and must be able to write there.
    for k in 2 3; do
        mkdir -p "$dir/node$k"
        cp -a "$dir/node1/data" "$dir/node$k/data"
    done
    cluster_node_start "$dir" 1 --wsrep-new-cluster || return 1
    cluster_node_start "$dir" 2 || return 1
    cluster_node_start "$dir" 3 || return 1
}

# cluster_node_stop DIR N: shuts node N down (it leaves the cluster cleanly).
cluster_node_stop() {
    db_stop "$1/node$2"
}

# cluster_node_kill DIR N: kills node N at once, as a power cut would.
cluster_node_kill() {
    local pid
    pid=$(cat "$1/node$2/mysqld.pid" 2>/dev/null) || return 0
    kill -9 "$pid" 2>/dev/null
    local k
    for k in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$1/node$2/mysqld.pid" "$(db_socket "$1/node$2")"
}

# cluster_stop DIR: every node, the last one last.
cluster_stop() {
    local dir=$1 k
    for k in 3 2 1; do
        [ -d "$dir/node$k" ] && db_stop "$dir/node$k"
    done
    return 0
}
