# Bash completion for mlf: commands, options and their values, node paths inside the note file
# named on the line, and a node's keywords after keywords --remove. Source it, or install it as
# bash-completion/completions/mlf.
_mlf() {
  local IFS=$'\n'
  COMPREPLY=($("${COMP_WORDS[0]}" __complete "$COMP_CWORD" "${COMP_WORDS[@]}" 2>/dev/null))
  # A folder's path goes on with its children: no space after it.
  if [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == */ ]]; then compopt -o nospace; fi
}
complete -o default -F _mlf mlf
