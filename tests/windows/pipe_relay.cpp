// Starts a Windows program with Windows pipes as its standard input and output, as a chess
// interface on Windows does, and relays its own standard input and output through them.
// Under wine the relay's own handles are Unix pipes, which cannot be looked into without
// blocking; the child's are real Windows pipes.
//   pipe_relay.exe program.exe [arguments...]   exit code: the program's
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

namespace {

struct Relay {
  HANDLE From;
  HANDLE To;
};

// Copies until the source ends, then closes the destination so that its reader sees the end.
DWORD WINAPI Copy(void* parameter) {
  Relay relay = *static_cast<Relay*>(parameter);
  char buffer[65536];
  for (DWORD got = 0; ReadFile(relay.From, buffer, sizeof buffer, &got, nullptr) && got > 0;) {
    for (DWORD done = 0, put = 0; done < got; done += put)
      if (!WriteFile(relay.To, buffer + done, got - done, &put, nullptr) || put == 0) return 0;
  }
  CloseHandle(relay.To);
  return 0;
}

// The command line after the relay's own program name, exactly as it was given.
const char* ChildCommandLine() {
  const char* line = GetCommandLineA();
  bool quoted = false;
  for (; *line && (quoted || (*line != ' ' && *line != '\t')); ++line)
    if (*line == '"') quoted = !quoted;
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}

}  // namespace

int main() {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE childIn = nullptr, toChild = nullptr, fromChild = nullptr, childOut = nullptr;
  if (!CreatePipe(&childIn, &toChild, &inherit, 0) || !CreatePipe(&fromChild, &childOut, &inherit, 0)) return 125;
  SetHandleInformation(toChild, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(fromChild, HANDLE_FLAG_INHERIT, 0);

  // The child dies with the relay, even when the relay is killed.
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job) SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childIn;
  startup.hStdOutput = childOut;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION child = {};
  std::string command = ChildCommandLine();
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child))
    return 126;
  if (job) AssignProcessToJobObject(job, child.hProcess);
  CloseHandle(childIn);
  CloseHandle(childOut);

  Relay input = {GetStdHandle(STD_INPUT_HANDLE), toChild};
  Relay output = {fromChild, GetStdHandle(STD_OUTPUT_HANDLE)};
  CreateThread(nullptr, 0, Copy, &input, 0, nullptr);  // ends with the relay when input never does
  HANDLE outputThread = CreateThread(nullptr, 0, Copy, &output, 0, nullptr);

  WaitForSingleObject(child.hProcess, INFINITE);
  WaitForSingleObject(outputThread, INFINITE);  // every byte the child wrote is passed on
  DWORD code = 1;
  GetExitCodeProcess(child.hProcess, &code);
  return static_cast<int>(code);
}
