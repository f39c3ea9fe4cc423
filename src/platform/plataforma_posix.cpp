// Plataforma POSIX: relógios, hora local, localidade e terminal, processadores (afinidade, cota do cgroup, carga),
// áreas grandes de memória e a memória disponível.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <langinfo.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include "platform/plataforma.h"

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

bool erro_padrao_e_terminal() {
    const char* t = std::getenv("TERM");
    return isatty(2) && !(t && std::string(t) == "dumb");
}

conjunto_caracteres conjunto_do_terminal() {
    static const conjunto_caracteres c = [] {
        std::setlocale(LC_CTYPE, "");
        const std::string n = nl_langinfo(CODESET);
        std::setlocale(LC_CTYPE, "C");
        if (n == "UTF-8" || n == "utf8") return conjunto_caracteres::utf8;
        if (n.starts_with("ISO-8859") || n == "CP1252") return conjunto_caracteres::latin1;
        return conjunto_caracteres::ascii;
    }();
    return c;
}

namespace {

// Inteiro positivo no começo do texto (brancos antes e depois permitidos); -1 se não houver.
long long positivo(const char* s, const char** fim) {
    char* f = nullptr;
    errno = 0;
    const long long v = std::strtoll(s, &f, 10);
    if (f == s || errno != 0 || v <= 0) return -1;
    *fim = f;
    return v;
}

// Primeira linha de um arquivo pequeno ("" se não abre).
std::string primeira_linha(const std::string& nome) {
    std::string r;
    if (std::FILE* f = std::fopen(nome.c_str(), "r")) {
        char l[256];
        if (std::fgets(l, sizeof l, f)) r = l;
        std::fclose(f);
    }
    return r;
}

} // namespace

int processadores_da_cota(const std::string& cota, const std::string& periodo) {
    const char* fim = nullptr;
    const long long q = positivo(cota.c_str(), &fim);
    if (q < 0) return 0; // "max" (v2) ou -1 (v1): sem cota
    long long p = -1;
    if (periodo.empty()) p = positivo(fim, &fim); // v2: "cota período" numa linha
    else p = positivo(periodo.c_str(), &fim);     // v1: dois arquivos
    if (p < 0) return 0;
    const long long n = (q + p - 1) / p; // 1,5 processador permite 2 threads
    return n > 4096 ? 4096 : static_cast<int>(n);
}

namespace {

// A menor cota de CPU do cgroup do processo e dos seus ancestrais (v2: cpu.max; v1: cpu.cfs_quota_us e
// cpu.cfs_period_us); 0 sem cota.
int processadores_do_cgroup() {
    std::vector<std::string> pastas;
    if (std::FILE* f = std::fopen("/proc/self/cgroup", "r")) {
        char l[1024];
        while (std::fgets(l, sizeof l, f)) {
            std::string s(l);
            if (!s.empty() && s.back() == '\n') s.pop_back();
            const std::size_t a = s.find(':'), b = a == std::string::npos ? a : s.find(':', a + 1);
            if (b == std::string::npos) continue;
            const std::string controles = s.substr(a + 1, b - a - 1), caminho = s.substr(b + 1);
            if (controles.empty()) pastas.push_back("/sys/fs/cgroup" + caminho); // v2
            else if (("," + controles + ",").find(",cpu,") != std::string::npos)
                for (const char* m : {"/sys/fs/cgroup/cpu,cpuacct", "/sys/fs/cgroup/cpu"}) pastas.push_back(m + caminho);
        }
        std::fclose(f);
    }
    int menor = 0;
    for (std::string p : pastas) {
        for (;;) {
            while (p.size() > 1 && p.back() == '/') p.pop_back();
            int n = processadores_da_cota(primeira_linha(p + "/cpu.max"));
            if (n == 0) n = processadores_da_cota(primeira_linha(p + "/cpu.cfs_quota_us"),
                                                  primeira_linha(p + "/cpu.cfs_period_us"));
            if (n > 0 && (menor == 0 || n < menor)) menor = n;
            const std::size_t barra = p.rfind('/');
            if (p.size() <= std::string("/sys/fs/cgroup").size() || barra == std::string::npos) break;
            p.resize(barra);
        }
    }
    return menor;
}

} // namespace

int processadores_disponiveis() {
    int n = 0;
    cpu_set_t c;
    if (sched_getaffinity(0, sizeof c, &c) == 0) n = CPU_COUNT(&c);
    if (n <= 0) {
        const long s = sysconf(_SC_NPROCESSORS_ONLN);
        n = s > 0 ? static_cast<int>(s) : 1;
    }
    const int cota = processadores_do_cgroup();
    return cota > 0 ? std::min(n, cota) : n;
}

double carga_de_loadavg(const std::string& texto) {
    double media = 0.0;
    long executando = 0, total = 0;
    const int lidos = std::sscanf(texto.c_str(), "%lf %*f %*f %ld/%ld", &media, &executando, &total);
    if (lidos < 1 || !(media >= 0.0)) return 0.0;
    const double outros = lidos == 3 && executando > 0 ? static_cast<double>(executando - 1) : 0.0;
    return std::max(media, outros);
}

double carga_do_sistema() { return carga_de_loadavg(primeira_linha("/proc/loadavg")); }

std::string nome_da_maquina() {
    char b[256] = {};
    if (gethostname(b, sizeof b - 1) != 0 || b[0] == '\0') return "unknown";
    return b;
}

std::string modelo_do_processador() {
    std::FILE* f = std::fopen("/proc/cpuinfo", "r");
    if (!f) return "unknown";
    std::string modelo;
    char linha[1024];
    while (modelo.empty() && std::fgets(linha, sizeof linha, f)) {
        const std::string l = linha;
        for (const char* chave : {"model name", "Processor", "cpu model", "uarch"}) {
            const std::size_t dois_pontos = l.find(':');
            if (l.rfind(chave, 0) != 0 || dois_pontos == std::string::npos) continue;
            const std::size_t a = l.find_first_not_of(" \t", dois_pontos + 1);
            const std::size_t b = l.find_last_not_of(" \t\r\n");
            if (a != std::string::npos && b != std::string::npos && b >= a) modelo = l.substr(a, b - a + 1);
            break;
        }
    }
    std::fclose(f);
    return modelo.empty() ? "unknown" : modelo;
}

// Áreas grandes começam em 2 MiB e pedem páginas grandes para a parte que as enche (o resto, menos de 2 MiB,
// fica em páginas comuns: o pico de memória não cresce). O mmap anônimo já vem zerado.
void* reservar_area(std::size_t bytes) {
    constexpr std::size_t grande = std::size_t{2} << 20;
    const std::size_t pagina = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    if (bytes == 0) bytes = 1;
    const std::size_t n = (bytes + pagina - 1) / pagina * pagina;
    if (n < grande) {
        void* p = mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        return p == MAP_FAILED ? nullptr : p;
    }
    void* p = mmap(nullptr, n + grande, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    const auto b = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t a = (b + grande - 1) / grande * grande;
    if (a > b) munmap(p, a - b);
    if (const std::uintptr_t sobra = b + grande - a) munmap(reinterpret_cast<void*>(a + n), sobra);
#ifdef MADV_HUGEPAGE
    madvise(reinterpret_cast<void*>(a), n / grande * grande, MADV_HUGEPAGE); // sem efeito onde não houver
#endif
    return reinterpret_cast<void*>(a);
}

void liberar_area(void* area, std::size_t bytes) {
    const std::size_t pagina = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    if (area) munmap(area, ((bytes == 0 ? 1 : bytes) + pagina - 1) / pagina * pagina);
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

// As threads da glibc tomam a pilha do limite RLIMIT_STACK (8 MiB quando ilimitado).
long long pilha_de_thread() {
    rlimit r{};
    if (getrlimit(RLIMIT_STACK, &r) == 0 && r.rlim_cur != RLIM_INFINITY) return static_cast<long long>(r.rlim_cur);
    return 8LL << 20;
}
