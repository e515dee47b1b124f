#include "app/velmora/password.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace velapp {

namespace {

constexpr std::size_t kLocalPasswordChars = 32;
constexpr std::size_t kMaxPasswordBytes = 128;

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

void StripLineEnd(std::string* line) {
  while (!line->empty() && (line->back() == '\n' || line->back() == '\r')) line->pop_back();
}

bool CheckLength(const std::string& password, const std::string& where, std::string* error) {
  if (password.empty()) {
    *error = where + " holds no password";
    return false;
  }
  if (password.size() > kMaxPasswordBytes) {
    *error = where + ": the password is longer than " + std::to_string(kMaxPasswordBytes) + " bytes";
    return false;
  }
  return true;
}

}  // namespace

bool ReadPasswordFile(const std::string& path, std::string* password, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = SystemError("cannot read the password file " + path);
    return false;
  }
  std::string line;
  std::getline(in, line);
  StripLineEnd(&line);
  if (!CheckLength(line, "the first line of " + path, error)) return false;
  *password = std::move(line);
  return true;
}

bool PromptPassword(const std::string& prompt, std::string* password, std::string* error) {
  const int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0 || !::isatty(fd)) {
    if (fd >= 0) ::close(fd);
    *error = "no terminal to ask for the password on; use --password-file FILE";
    return false;
  }
  termios saved{};
  const bool hasTermios = ::tcgetattr(fd, &saved) == 0;
  if (hasTermios) {
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    ::tcsetattr(fd, TCSAFLUSH, &quiet);
  }
  (void)!::write(fd, prompt.data(), prompt.size());
  std::string line;
  char c = 0;
  while (::read(fd, &c, 1) == 1 && c != '\n' && line.size() <= kMaxPasswordBytes) line.push_back(c);
  if (hasTermios) ::tcsetattr(fd, TCSAFLUSH, &saved);
  ::close(fd);
  StripLineEnd(&line);
  if (!CheckLength(line, "the terminal", error)) return false;
  *password = std::move(line);
  return true;
}

bool LocalPassword(const std::string& path, std::string* password, std::string* error) {
  struct stat st {};
  if (!path.empty() && ::stat(path.c_str(), &st) == 0) {
    // Anyone who can read it can play as this player.
    if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0) ::chmod(path.c_str(), S_IRUSR | S_IWUSR);
    return ReadPasswordFile(path, password, error);
  }
  static const char kAlphabet[] = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789";
  unsigned char random[kLocalPasswordChars];
  if (::getrandom(random, sizeof(random), 0) != static_cast<ssize_t>(sizeof(random))) {
    *error = SystemError("no random numbers for the local password");
    return false;
  }
  std::string made;
  for (unsigned char r : random) made.push_back(kAlphabet[r % (sizeof(kAlphabet) - 1)]);
  if (path.empty()) {
    *password = std::move(made);
    return true;
  }
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
  if (fd < 0) {
    *error = SystemError("cannot create " + path);
    return false;
  }
  const std::string line = made + "\n";
  const bool written = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
  ::close(fd);
  if (!written) {
    ::unlink(path.c_str());
    *error = SystemError("cannot write " + path);
    return false;
  }
  *password = std::move(made);
  return true;
}

}  // namespace velapp
