# bash completion for jobcontrol: commands, options, entries and their values, CUPS queue
# names (also for `queue`'s queue), and the locked entries of the chosen printer for unlock=.

_jobcontrol_entries="retention= filing= filing-kind= auth= pass-code= folder-name= folder-pass-code=
address= login-name= password= user-number= account-number= user-name= job-name= lock= unlock="
_jobcontrol_lockable="pass-code folder-name folder-pass-code login-name password user-number
account-number user-name job-name"

_jobcontrol_queues() {
  lpstat -e 2>/dev/null
}

# The entries `show` reports locked, for the printer named on the line so far.
_jobcontrol_locked() {
  local -a printer=()
  local i
  for ((i = 1; i < ${#COMP_WORDS[@]} - 1; i++)); do
    case ${COMP_WORDS[i]} in
      --printer | -d | -P | --ppd | --printer-id | --device-uri | --bundle)
        printer+=("${COMP_WORDS[i]}" "${COMP_WORDS[i + 1]}") ;;
      --printer=* | --demo) printer+=("${COMP_WORDS[i]}") ;;
    esac
  done
  "${COMP_WORDS[0]}" show --json "${printer[@]}" 2>/dev/null |
    sed -n 's/.*"entry":"\([a-z-]*\)".*"held":true.*/\1/p'
}

# `queue`, its words from word $1 on with the cursor's word $2: the action, then the queue,
# and the options the action takes. Options and their values are passed over (bash makes
# "--address=HOST" three words: "--address", "=", "HOST").
_jobcontrol_queue() {
  local -a given=()
  local i
  for ((i = $1; i < COMP_CWORD; i++)); do
    case ${COMP_WORDS[i]} in
      --address | --filter) [[ ${COMP_WORDS[i + 1]} == "=" ]] || ((i++)) ;;
      =) ((i++)) ;;
      -*) ;;
      *) given+=("${COMP_WORDS[i]}") ;;
    esac
  done
  if [[ $2 == -* ]]; then
    # disable takes none of the options but --help.
    local options="--help --private --address --filter"
    [[ ${given[0]-} == disable ]] && options="--help"
    COMPREPLY=($(compgen -W "$options" -- "$2"))
  elif ((${#given[@]} == 0)); then
    COMPREPLY=($(compgen -W "enable refresh disable" -- "$2"))
  elif ((${#given[@]} == 1)); then
    COMPREPLY=($(compgen -W "$(_jobcontrol_queues)" -- "$2"))
  fi
}

_jobcontrol() {
  local cur prev command="" i line
  # The word under the cursor as typed: bash splits words at '=' too, which would part
  # an entry from its value.
  line=${COMP_LINE:0:COMP_POINT}
  cur=${line##*[[:space:]]}
  prev=${COMP_WORDS[COMP_CWORD - 1]}
  [[ $prev == "=" || $cur == *=* ]] && prev=""
  for ((i = 1; i < COMP_CWORD; i++)); do
    case ${COMP_WORDS[i]} in
      show | set | folders | print | printers | decode | desktop | queue | help)
        command=${COMP_WORDS[i]}
        break ;;
    esac
  done

  case $prev in
    --printer | -d | -P)
      COMPREPLY=($(compgen -W "$(_jobcontrol_queues)" -- "$cur"))
      return ;;
    --ppd | --settings | --out | --secrets-file | --bundle | --filter)
      COMPREPLY=($(compgen -f -- "$cur"))
      return ;;
    --printer-id | --device-uri | --job-name | --address | --pass-code | --folder-pass-code | \
      -o | -n | -t)
      return ;;
  esac

  local options="--help --version --printer --demo --ppd --printer-id --device-uri --settings
--job-name --bundle"
  case $command in
    "" | help)
      COMPREPLY=($(compgen -W "show set folders print printers decode desktop queue help" -- "$cur"))
      [[ -z $command && $cur == -* ]] && COMPREPLY=($(compgen -W "$options" -- "$cur"))
      return ;;
    show) options+=" --json" ;;
    set) options+=" --secrets-file --out --lp --json" ;;
    folders) options+=" --address --json" ;;
    print) options="--help --printer -d -P -o -n -t -q --ipp-attributes --settings --job-name --secrets-file --out
--bundle" ;;
    printers) options="--help --json" ;;
    decode) options="--help --pass-code --folder-pass-code --json --bundle" ;;
    desktop) options="--help --user" ;;
    queue)
      _jobcontrol_queue $((i + 1)) "$cur"
      return ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
    return
  fi
  if [[ $command == set || $command == print ]]; then
    local values=""
    case $cur in
      retention=*) values="off hold-only hold-after sample" ;;
      filing=*) values="quick main" ;;
      filing-kind=*) values="quick main custom" ;;
      auth=*) values="login number" ;;
      lock=* | hold=*) values=$_jobcontrol_lockable ;;
      unlock=* | unhold=*) values=$(_jobcontrol_locked) ;;
      password=* | pass-code=* | folder-pass-code=*) values="-" ;;
    esac
    if [[ $cur == *=* ]]; then
      # Where '=' breaks words, bash replaces only what follows it.
      if [[ $COMP_WORDBREAKS == *=* ]]; then
        COMPREPLY=($(compgen -W "$values" -- "${cur#*=}"))
      else
        COMPREPLY=($(compgen -P "${cur%%=*}=" -W "$values" -- "${cur#*=}"))
      fi
      return
    fi
    COMPREPLY=($(compgen -W "$_jobcontrol_entries" -- "$cur"))
    compopt -o nospace 2>/dev/null
    [[ $command == print ]] && COMPREPLY+=($(compgen -f -- "$cur"))
    return
  fi
  [[ $command == decode ]] && COMPREPLY=($(compgen -f -- "$cur"))
  [[ $command == desktop ]] && COMPREPLY=($(compgen -W "enable disable status" -- "$cur"))
}
complete -F _jobcontrol jobcontrol
