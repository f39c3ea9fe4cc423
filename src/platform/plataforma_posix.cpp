#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sched.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/plataforma.h"

extern char** environ;

namespace {

std::string editor_escolhido() {
    for (const char* v : {"VISUAL", "EDITOR"}) {
        const char* s = std::getenv(v);
        if (s && *s) return s;
    }
    return isatty(0) ? "vi" : "";
}

int esperar(pid_t pid) {
    int st = 0;
    while (waitpid(pid, &st, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
}

} // namespace

// O editor roda pela shell, como em outros programas de terminal ("emacs -nw" funciona); o nome do
// arquivo vai como argumento, nunca dentro do texto do comando.
void executar_editor(const std::string& arquivo) {
    const std::string ed = editor_escolhido();
    if (ed.empty()) return;
    executar_programa({"/bin/sh", "-c", ed + " \"$@\"", ed, arquivo});
}

int executar_programa(const std::vector<std::string>& argumentos) {
    std::vector<char*> v;
    for (const std::string& a : argumentos) v.push_back(const_cast<char*>(a.c_str()));
    v.push_back(nullptr);
    std::fflush(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, v[0], nullptr, nullptr, v.data(), environ) != 0) return -1;
    return esperar(pid);
}

double tempo_processador() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double tempo_parede() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

data_local hora_local() {
    const std::time_t agora = std::time(nullptr);
    std::tm t{};
    localtime_r(&agora, &t);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

int processadores_disponiveis() {
    cpu_set_t c;
    if (sched_getaffinity(0, sizeof c, &c) == 0) {
        const int n = CPU_COUNT(&c);
        if (n > 0) return n;
    }
    const long n = sysconf(_SC_NPROCESSORS_ONLN);
    return n > 0 ? static_cast<int>(n) : 1;
}

// O menor entre a memória livre do sistema (MemAvailable) e o que resta do limite de espaço de
// endereçamento (ulimit -v).
long long memoria_disponivel() {
    long long livre = -1;
    if (std::FILE* f = std::fopen("/proc/meminfo", "r")) {
        char linha[256];
        while (std::fgets(linha, sizeof linha, f)) {
            long long kb;
            if (std::sscanf(linha, "MemAvailable: %lld kB", &kb) == 1) {
                livre = kb * 1024;
                break;
            }
        }
        std::fclose(f);
    }
    rlimit r{};
    if (getrlimit(RLIMIT_AS, &r) == 0 && r.rlim_cur != RLIM_INFINITY) {
        long long usado = 0;
        if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
            long long paginas;
            if (std::fscanf(f, "%lld", &paginas) == 1) usado = paginas * sysconf(_SC_PAGESIZE);
            std::fclose(f);
        }
        const long long resta = static_cast<long long>(r.rlim_cur) - usado;
        if (livre < 0 || resta < livre) livre = resta < 0 ? 0 : resta;
    }
    return livre;
}
