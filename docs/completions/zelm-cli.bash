# bash completion for zelm-cli (installed as
# share/bash-completion/completions/zelm-cli). Needs nothing but bash.

_zelm_cli_options() {
  case $1 in
    indent)
      echo "--indent --open-charset --lower --no-preprocess --div-comment-concat --emit
            --output-charset --unmappable --keep-pre -o --output --in-place --force --check
            --diff --stdin-filepath --paste --verify --no-config --no-ignore --force-ignore -j --jobs -q
            --quiet -h --help" ;;
    config)
      echo "--indent --open-charset --output-charset --lower --no-preprocess
            --div-comment-concat --no-config -h --help" ;;
    detect | tokens) echo "-h --help" ;;
    convert) echo "--from --to --unmappable -h --help" ;;
    rtf) echo "--alternate-colors -h --help" ;;
    pass) echo "--target --indent-type -h --help" ;;
    divmark)
      echo "--start --end --no-space --no-text --open-charset -o --output --in-place --force
            -q --quiet -h --help" ;;
    analyze) echo "--text --open-charset --ignore-comments -h --help" ;;
  esac
}

# The values an option takes; returns 1 when it takes none.
_zelm_cli_values() {
  case $1 in
    --indent) echo "2 4 tab none" ;;
    --open-charset | --from) echo "auto euc-jp utf-8 shift_jis iso-2022 utf-8n" ;;
    --output-charset) echo "auto shift_jis utf-8" ;;
    --to) echo "shift_jis euc-jp iso-2022-jp utf-8" ;;
    --emit) echo "native org local work result" ;;
    --unmappable) echo "question ncr" ;;
    --text) echo "local org" ;;
    --target) echo "0 1 2 3 4 5" ;;
    --indent-type) echo "0 1 2 3" ;;
    -j | --jobs) echo "1 2 4 8" ;;
    --start | --end) echo "" ;;
    -o | --output | --stdin-filepath) echo "@files" ;;
    *) return 1 ;;
  esac
}

# Pages (.htm, .html in any case) and folders.
_zelm_cli_pages() {
  local IFS=$'\n' entry
  compopt -o filenames 2>/dev/null
  for entry in $(compgen -f -- "$1"); do
    if [[ -d $entry ]]; then
      COMPREPLY+=("$entry")
    else
      case ${entry,,} in *.htm | *.html) COMPREPLY+=("$entry") ;; esac
    fi
  done
}

_zelm_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  COMPREPLY=()
  # "--indent=tab" comes as "--indent" "=" "tab" when '=' breaks words.
  if [[ $cur == = ]]; then
    cur=""
  elif [[ $prev == = && COMP_CWORD -ge 2 ]]; then
    prev=${COMP_WORDS[COMP_CWORD - 2]}
  fi
  if ((COMP_CWORD == 1)); then
    COMPREPLY=($(compgen -W "indent pass analyze detect convert rtf tokens divmark config help --help --version" -- "$cur"))
    return
  fi
  local command=${COMP_WORDS[1]} i options_ended=0
  for ((i = 2; i < COMP_CWORD; i++)); do
    [[ ${COMP_WORDS[i]} == -- ]] && options_ended=1
  done

  local values
  if ((!options_ended)) && values=$(_zelm_cli_values "$prev"); then
    if [[ $values == @files ]]; then
      compopt -o filenames 2>/dev/null
      COMPREPLY=($(compgen -f -- "$cur"))
    else
      COMPREPLY=($(compgen -W "$values" -- "$cur"))
    fi
    return
  fi
  if ((!options_ended)) && [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$(_zelm_cli_options "$command")" -- "$cur"))
    return
  fi

  # The word after the command, for the commands that take a name first.
  if ((COMP_CWORD == 2)); then
    case $command in
      pass) COMPREPLY=($(compgen -W "normalize charset prebreak lightbreak adjust mark strip symbols" -- "$cur")); return ;;
      divmark) COMPREPLY=($(compgen -W "insert remove replace" -- "$cur")); return ;;
      analyze) COMPREPLY=($(compgen -W "counts misplaced levels skeleton summary" -- "$cur")); return ;;
    esac
  fi
  case $command in
    indent | config | detect | divmark | analyze) _zelm_cli_pages "$cur" ;;
  esac
}

complete -F _zelm_cli zelm-cli
