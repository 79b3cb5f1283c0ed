# bash completion for quillet: subcommands, their options, and file names for
# books and folders. Self-contained, so it works without the bash-completion
# package's helpers too.

# Adds each line of standard input to COMPREPLY, so that names with spaces stay whole.
_quillet_add() {
  local line
  while IFS= read -r line; do COMPREPLY+=("$line"); done
}

_quillet() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  local prev=${COMP_WORDS[COMP_CWORD - 1]}
  local subcommands="book preview convert rtf text formats"
  local sub="" word
  for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
    if [[ " $subcommands " == *" $word "* ]]; then
      sub=$word
      break
    fi
  done

  COMPREPLY=()
  case $prev in
    --out)
      _quillet_add < <(compgen -d -- "$cur")
      return
      ;;
    --parts)
      _quillet_add < <(compgen -W "$(seq 1 99)" -- "$cur")
      return
      ;;
    --prefix | --options | --separator | --convert-timeout) return ;;
  esac

  local options
  case $sub in
    "") options="--help --version --debug" ;;
    book) options="--help --parts --out --prefix --open --convert-timeout" ;;
    preview) options="--help --prefix --open --convert-timeout" ;;
    convert) options="--help --options --separator --page --raw --prefix" ;;
    rtf | text) options="--help --convert-timeout" ;;
    formats) options="--help" ;;
  esac

  if [[ $cur == -* ]]; then
    _quillet_add < <(compgen -W "$options" -- "$cur")
    return
  fi
  # Without a subcommand yet, the word is one or a book to open in the window.
  [[ -z $sub ]] && _quillet_add < <(compgen -W "$subcommands" -- "$cur")
  _quillet_add < <(compgen -f -- "$cur")
}

complete -o filenames -F _quillet quillet
