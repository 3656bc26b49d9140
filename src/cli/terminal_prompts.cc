#include "cli/terminal_prompts.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>

namespace mlf::cli {
namespace {

MessageAnswer Cautious(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok: return MessageAnswer::Ok;
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel: return MessageAnswer::No;
    case MessageButtons::AbortRetryIgnore: return MessageAnswer::Abort;
    default: return MessageAnswer::Cancel;
  }
}

MessageAnswer Agreeing(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel: return MessageAnswer::Yes;
    case MessageButtons::AbortRetryIgnore: return MessageAnswer::Ignore;
    case MessageButtons::RetryCancel: return MessageAnswer::Retry;
    default: return MessageAnswer::Ok;
  }
}

// One line from the terminal with echo off.
std::optional<std::string> ReadHidden(const char* question) {
  FILE* tty = std::fopen("/dev/tty", "r+");
  if (!tty) return std::nullopt;
  std::fprintf(tty, "%s", question);
  std::fflush(tty);
  termios old{};
  int fd = fileno(tty);
  bool restore = tcgetattr(fd, &old) == 0;
  if (restore) {
    termios quiet = old;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(fd, TCSAFLUSH, &quiet);
  }
  std::string line;
  for (int c; (c = std::fgetc(tty)) != EOF && c != '\n';) line += static_cast<char>(c);
  if (restore) tcsetattr(fd, TCSAFLUSH, &old);
  std::fprintf(tty, "\n");
  std::fclose(tty);
  return line;
}

}  // namespace

TerminalPrompts::TerminalPrompts(std::optional<bool> answer, std::optional<std::string> passwordFile,
                                 std::optional<std::string> newPasswordFile)
    : m_answer(answer), m_passwordFile(std::move(passwordFile)), m_newPasswordFile(std::move(newPasswordFile)) {}

MessageAnswer TerminalPrompts::Message(const std::string& text, const std::string& caption, MessageIcon,
                                       MessageButtons buttons) {
  std::string line = caption.empty() || caption == kAppCaption ? text : caption + ": " + text;
  if (m_collect) {
    m_collected.push_back(line);
    return Cautious(buttons);
  }
  std::cerr << line << "\n";
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  if (m_answer) return *m_answer ? Agreeing(buttons) : Cautious(buttons);
  if (!isatty(STDIN_FILENO)) return Cautious(buttons);
  std::cerr << (buttons == MessageButtons::AbortRetryIgnore ? "[a]bort, [r]etry or [i]gnore? " : "[y]es or [n]o? ");
  std::string reply;
  std::getline(std::cin, reply);
  char c = reply.empty() ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>(reply[0])));
  switch (buttons) {
    case MessageButtons::AbortRetryIgnore:
      return c == 'r' ? MessageAnswer::Retry : c == 'i' ? MessageAnswer::Ignore : MessageAnswer::Abort;
    case MessageButtons::OkCancel:
    case MessageButtons::RetryCancel: return c == 'y' ? Agreeing(buttons) : MessageAnswer::Cancel;
    default: return c == 'y' ? MessageAnswer::Yes : Cautious(buttons);
  }
}

std::optional<SecureString> TerminalPrompts::ReadPassword(const std::optional<std::string>& file,
                                                          const char* question) {
  if (file) {
    std::ifstream in(*file);
    std::string line;
    if (!in) {
      std::cerr << *file << " cannot be read\n";
      return std::nullopt;
    }
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    SecureString password(line);
    SecureZero(line.data(), line.size());
    return password;
  }
  std::optional<std::string> line = ReadHidden(question);
  if (!line) return std::nullopt;
  SecureString password(*line);
  SecureZero(line->data(), line->size());
  return password;
}

std::optional<PasswordAnswer> TerminalPrompts::AskPassword(const PasswordRequest& request) {
  PasswordAnswer answer;
  if (request.mode & kPasswordEnter) {
    std::optional<SecureString> entered = ReadPassword(m_passwordFile, "Password: ");
    if (!entered) return std::nullopt;
    answer.first = *entered;
  }
  if (request.mode & kPasswordSet) {
    std::optional<SecureString> fresh = ReadPassword(m_newPasswordFile, "New password: ");
    if (!fresh) return std::nullopt;
    if (!m_newPasswordFile) {
      std::optional<SecureString> again = ReadPassword(std::nullopt, "Re-type password: ");
      if (!again || !(*again == *fresh)) {
        std::cerr << "The passwords do not match.\n";
        return std::nullopt;
      }
    }
    answer.newText = *fresh;
  }
  return answer;
}

ChangedFileAnswer TerminalPrompts::AskChangedFile(const std::string& path) {
  std::cerr << path << " was changed by another program since mlf read it; nothing was written\n";
  return ChangedFileAnswer::KeepEditing;
}

std::vector<std::string> TerminalPrompts::TakeCollected() { return std::move(m_collected); }

}  // namespace mlf::cli
