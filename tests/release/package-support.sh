# Sourced by the package tests: the packages of the suite's own build, a
# package's table rows, and a Wine prefix of the test's own.
#
#   build_test_packages BIN PRODUCT_WXI OUT
#                                   the packages of the build's files (BIN and
#                                   BIN/x64) into OUT, and the same files as an
#                                   older version (5.0.0.0, product codes of its
#                                   own) into OUT/older
#   table_rows MSI TABLE            the table's rows, one a line, sorted: wixl
#                                   writes them in no fixed order
#   expect_rows WHAT EXPECTED ACTUAL  fails, naming WHAT, unless the two sets
#                                   of rows are the same; prints the difference
#   fail MESSAGE                    ends the test with MESSAGE
#   private_prefix                  a prefix for this test alone, removed at its end
#                                   (the script sources tools/wine-sandbox.sh)
#   windows_path PATH               a Unix path as Wine's Z: drive shows it

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

build_test_packages() {
    local bin=$1 product=$2 out=$3 packaging
    packaging=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../packaging" && pwd)
    "$packaging/build-packages.sh" "$product" "$bin" "$bin/x64" "$out" >/dev/null
    mkdir -p "$out/older"
    cat >"$out/older/Product.wxi" <<'WXI'
<?xml version="1.0" encoding="utf-8"?>
<Include>
  <?define ProductVersion = "5.0.0.0" ?>
  <?define UpgradeCode = "{5BF85C96-5949-4866-9AA0-0EA0892DA744}" ?>
  <?if $(var.Platform) = x64 ?>
    <?define ProductCode = "{6C3C1D5E-2F0A-4B7B-9E55-0A1B2C3D4E64}" ?>
  <?else ?>
    <?define ProductCode = "{6C3C1D5E-2F0A-4B7B-9E55-0A1B2C3D4E86}" ?>
  <?endif ?>
</Include>
WXI
    "$packaging/build-packages.sh" "$out/older/Product.wxi" "$bin" "$bin/x64" "$out/older" >/dev/null
}

table_rows() {
    msiinfo export "$1" "$2" | tr -d '\r\0' | tail -n +4 | LC_ALL=C sort
}

expect_rows() {
    local what=$1 expected actual
    expected=$(LC_ALL=C sort <<<"$2")
    actual=$(LC_ALL=C sort <<<"$3")
    [ "$expected" = "$actual" ] && return 0
    echo "FAILED: $what differ (- expected, + found):" >&2
    diff <(echo "$expected") <(echo "$actual") | sed -n 's/^</  -/p; s/^>/  +/p' >&2
    exit 1
}

private_prefix() {
    local template=${QUILLBAR_PREFIX_TEMPLATE:-}
    if [ -n "$template" ] && [ -f "$template/system.reg" ]; then
        WINEPREFIX=$(mktemp -d /tmp/quillbar-wine.XXXXXX)
        export WINEPREFIX
        cp -a "$template/." "$WINEPREFIX/"
        wineserver -p >/dev/null 2>&1
    else
        make_sandbox_prefix
    fi
    at_exit drop_sandbox_prefix
}

# (No winepath: under emulation every 32-bit Wine program that starts costs a
# second.)
windows_path() {
    local path=${1//\//\\}
    printf 'Z:%s' "$path"
}
