#!/bin/sh
# edit gives the bytes of its list's edits made one after the other with set,
# delete, add and apply, each index mapped to the database as given.
# Usage: edit_one_by_one.sh NAVAID DATA_DIR
set -eu
navaid=$(realpath "$1") data=$(realpath "$2")
cd "$(mktemp -d)"
trap 'rm -rf "$PWD"' EXIT
cp "$data/whole-vor.qvz" list.qvz
cp list.qvz steps.qvz
add='--name "NEW ONE" --lat 50.5 --lon 8.25 --freq 112.1 --magvar 2 --type DME'
cat > edits.txt <<LIST
set 2 --freq 114.35 --type vortac
delete 0
add --id N1 $add
set 2 --name 'twice changed'   # the second set of record 2
delete --name tacan
add --id N2 $add --alt 400
LIST
"$navaid" edit vor list.qvz edits.txt > /dev/null
step() {
    eval "\"$navaid\" $1 vor steps.qvz $2" > /dev/null
    "$navaid" apply vor steps.qvz > /dev/null
}
step set "2 --freq 114.35 --type vortac"
step delete 0
step add "--id N1 $add"
step set "1 --name 'twice changed'"
step delete "--name tacan"
step add "--id N2 $add --alt 400"
cmp list.qvz.new steps.qvz
