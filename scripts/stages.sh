# shellcheck shell=bash
# Times the stages of a test run. `stage NAME` (or `stage --suite NAME`)
# ends the stage before it, prints "== NAME" (or "-- NAME") and starts NAME;
# `stages_finish` ends the last one. Scripts started by the one that began
# the list add their stages to it (CALORIX_STAGE_TIMES), and the script that
# began it prints, when it finishes, every stage's time and the total.

_stages_began_here=0
if [[ -z "${CALORIX_STAGE_TIMES:-}" || ! -f "$CALORIX_STAGE_TIMES" ]]; then
  CALORIX_STAGE_TIMES="$(mktemp "${TMPDIR:-/tmp}/calorix-stages.XXXXXX")"
  CALORIX_STAGES_STARTED="$(date +%s)"
  export CALORIX_STAGE_TIMES CALORIX_STAGES_STARTED
  _stages_began_here=1
fi
_stage_name=""
_stage_started=0

# Ends the stage under way, if any.
stages_end() {
  if [[ -n "$_stage_name" ]]; then
    printf '%s\t%s\n' "$(($(date +%s) - _stage_started))" "$_stage_name" >>"$CALORIX_STAGE_TIMES"
    _stage_name=""
  fi
}

stage() {  # [--suite] <name>
  local mark="=="
  if [[ "$1" == --suite ]]; then
    mark="--"
    shift
  fi
  stages_end
  echo "$mark $1"
  _stage_name="$1"
  _stage_started="$(date +%s)"
}

# Lines of their own for what a run leaves out, with the reason.
stage_skipped() {  # <what> <why>
  stages_end
  echo "SKIPPED: $1: $2"
  printf '%s\t%s\n' "-" "$1 (skipped)" >>"$CALORIX_STAGE_TIMES"
}

stages_finish() {
  stages_end
  [[ $_stages_began_here -eq 1 && -f "$CALORIX_STAGE_TIMES" ]] || return 0
  local total=$(($(date +%s) - CALORIX_STAGES_STARTED)) seconds name
  echo "== time per stage"
  while IFS=$'\t' read -r seconds name; do
    printf '%6s s  %s\n' "$seconds" "$name"
  done <"$CALORIX_STAGE_TIMES"
  printf '%6s s  total (%d min %02d s)\n' "$total" $((total / 60)) $((total % 60))
  rm -f "$CALORIX_STAGE_TIMES"
}
