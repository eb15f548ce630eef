#!/usr/bin/env bash
# Gives the user a starter channel list, as an installer would, when they have none.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
data_home=${XDG_DATA_HOME:-$HOME/.local/share}
folder="$data_home/TVDAT"
if [ -f "$here/resources/Data.txt" ] && [ ! -e "$folder/Data.txt" ]; then
  mkdir -p "$folder"
  cp "$here/resources/Data.txt" "$folder/Data.txt"
  echo "Seeded $folder/Data.txt"
fi
