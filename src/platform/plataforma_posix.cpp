#include <cstdlib>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/plataforma.h"

namespace {

std::string editor_escolhido() {
    for (const char* v : {"VISUAL", "EDITOR"}) {
        const char* s = std::getenv(v);
        if (s && *s) return s;
    }
    return isatty(0) ? "vi" : "";
}

} // namespace

// O editor roda pela shell, como em outros programas de terminal; o resultado é ignorado.
void executar_editor(const std::string& arquivo) {
    const std::string ed = editor_escolhido();
    if (ed.empty()) return;
    const std::string cmd = ed + " \"$@\"";
    const pid_t pid = fork();
    if (pid < 0) return;
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", cmd.c_str(), ed.c_str(), arquivo.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int st;
    while (waitpid(pid, &st, 0) < 0) {
    }
}

double tempo_processador() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

data_local hora_local() {
    const std::time_t agora = std::time(nullptr);
    std::tm t{};
    localtime_r(&agora, &t);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}
