// Processos no POSIX: o editor e os programas filhos (gnuplot), esperados como system() os espera; e as rodadas
// de um estudo, filhos do próprio programa lançados sem shell, cada um no seu grupo e presos à vida do placa.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/random.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/interno_posix.h"
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

bool ha_editor() { return !editor_escolhido().empty(); }

// O editor roda pela shell, como em outros programas de terminal ("emacs -nw" funciona); o nome do
// arquivo vai como argumento, nunca dentro do texto do comando, e nunca com cara de opção.
void executar_editor(const std::string& arquivo) {
    const std::string ed = editor_escolhido();
    if (ed.empty()) return;
    executar_programa({"/bin/sh", "-c", ed + " \"$@\"", ed, nome_para_programa(arquivo)});
}

// Como system(): enquanto o filho roda, Ctrl-C e Ctrl-\ são dele; o filho começa com as disposições padrão
// (menos as que já eram ignoradas quando o placa começou) e sem sinais bloqueados.
int executar_programa(const std::vector<std::string>& argumentos, std::string* erros) {
    std::vector<char*> v;
    for (const std::string& a : argumentos) v.push_back(const_cast<char*>(a.c_str()));
    v.push_back(nullptr);
    std::fflush(nullptr);
    sigset_t padrao, nenhum;
    sigemptyset(&padrao);
    sigemptyset(&nenhum);
    for (int s : {SIGINT, SIGQUIT}) {
        struct sigaction a{};
        if (sigaction(s, nullptr, &a) == 0 && a.sa_handler != SIG_IGN) sigaddset(&padrao, s);
    }
    sigaddset(&padrao, SIGPIPE);
    sigaddset(&padrao, SIGXFSZ);
    posix_spawnattr_t at;
    posix_spawnattr_init(&at);
    posix_spawnattr_setsigdefault(&at, &padrao);
    posix_spawnattr_setsigmask(&at, &nenhum);
    posix_spawnattr_setflags(&at, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    posix_spawn_file_actions_t acoes;
    posix_spawn_file_actions_init(&acoes);
    int cano[2] = {-1, -1};
    if (erros && pipe2(cano, O_CLOEXEC) == 0) posix_spawn_file_actions_adddup2(&acoes, cano[1], 2);
    interrupcoes_ignoradas ignoradas;
    pid_t pid;
    const int r = posix_spawnp(&pid, v[0], &acoes, &at, v.data(), environ);
    posix_spawn_file_actions_destroy(&acoes);
    posix_spawnattr_destroy(&at);
    if (cano[1] >= 0) close(cano[1]);
    if (r == 0 && cano[0] >= 0) {
        char b[4096];
        for (ssize_t n; (n = read(cano[0], b, sizeof b)) != 0;) {
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) break;
            if (erros->size() < 65536) erros->append(b, static_cast<std::size_t>(n));
        }
    }
    if (cano[0] >= 0) close(cano[0]);
    return r == 0 ? esperar(pid) : -1;
}

std::string programa_atual() {
    char b[4096];
    const ssize_t n = readlink("/proc/self/exe", b, sizeof b);
    return n > 0 && static_cast<std::size_t>(n) < sizeof b ? std::string(b, static_cast<std::size_t>(n)) : std::string();
}

std::string diretorio_atual() {
    char b[4096];
    return getcwd(b, sizeof b) ? std::string(b) : std::string();
}

namespace {

std::map<pid_t, std::FILE*> erros_dos_filhos; // o erro padrão de cada filho vivo, num arquivo anônimo

// Um arquivo anônimo (já sem nome) com os bytes dados, do começo; nullptr se não deu.
std::FILE* anonimo_com(const std::string& bytes) {
    std::FILE* f = std::tmpfile();
    if (!f) return nullptr;
    fcntl(fileno(f), F_SETFD, FD_CLOEXEC);
    if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fflush(f) != 0) {
        std::fclose(f);
        return nullptr;
    }
    std::rewind(f);
    return f;
}

// Entre o fork e o exec, só chamadas seguras num processo recém-dividido: grupo próprio, o sinal da morte do pai
// (SIGTERM, que o filho trata apagando os seus temporários), disposições e máscara padrão, entrada e erro padrão.
[[noreturn]] void virar_filho(char* const* argv, int entrada, int erros, pid_t pai) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != pai) _exit(128 + SIGTERM); // o pai morreu antes do prctl
    // os tratadores do estudo não valem aqui (o exec os desfaria; até lá um sinal os chamaria no filho); e mesmo que
    // o estudo ignore SIGTERM, a morte do pai termina o filho
    struct sigaction padrao{};
    padrao.sa_handler = SIG_DFL;
    for (int s = 1; s < NSIG; ++s) {
        struct sigaction a{};
        if (sigaction(s, nullptr, &a) == 0 && (s == SIGTERM || (a.sa_handler != SIG_IGN && a.sa_handler != SIG_DFL)))
            sigaction(s, &padrao, nullptr);
    }
    sigset_t nenhum;
    sigemptyset(&nenhum);
    sigprocmask(SIG_SETMASK, &nenhum, nullptr);
    if (entrada >= 0) dup2(entrada, 0);
    if (erros >= 0) dup2(erros, 2);
    execv(argv[0], argv);
    _exit(127);
}

} // namespace

// Sem shell: argumentos[0] é o caminho do programa. A entrada padrão é a cópia anônima dos bytes pedidos; o
// erro padrão vai para um arquivo anônimo (nunca um cano, que enche e trava o filho), lido quando ele termina.
lancamento lancar_filho(const pedido_filho& p) {
    std::vector<char*> v;
    for (const std::string& a : p.argumentos) v.push_back(const_cast<char*>(a.c_str()));
    v.push_back(nullptr);
    std::fflush(nullptr);
    lancamento r;
    std::FILE* entrada = anonimo_com(p.entrada);
    std::FILE* erros = std::tmpfile();
    if (erros) fcntl(fileno(erros), F_SETFD, FD_CLOEXEC);
    if (!entrada) {
        r.motivo = "cannot start " + p.argumentos[0] + ": cannot make the copy of its input: " + std::strerror(errno);
        if (erros) std::fclose(erros);
        return r;
    }
    const pid_t pai = getpid();
    pid_t pid = -1;
    int erro = 0;
    {
        bloqueio_sinais b; // um sinal anotado já encontra o filho no registro
        pid = fork();
        if (pid == 0) virar_filho(v.data(), fileno(entrada), erros ? fileno(erros) : -1, pai);
        erro = errno;
        if (pid > 0) {
            setpgid(pid, pid); // o mesmo que o filho faz: o grupo existe já na volta do fork
            registrar_filho(pid);
        }
    }
    std::fclose(entrada);
    if (pid < 0) {
        r.tentar_depois = erro == EAGAIN;
        r.motivo = "cannot start " + p.argumentos[0] + ": " + std::strerror(erro);
        if (erros) std::fclose(erros);
        return r;
    }
    if (erros) erros_dos_filhos[pid] = erros;
    r.id = pid;
    return r;
}

void dormir(double segundos) {
    timespec t{static_cast<time_t>(segundos), static_cast<long>((segundos - static_cast<double>(static_cast<time_t>(segundos))) * 1e9)};
    nanosleep(&t, nullptr); // EINTR: um sinal encurta o sono
}

std::string texto_aleatorio(int n) {
    static const char letras[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string s;
    unsigned char b[64] = {};
    n = n < 0 ? 0 : n > 64 ? 64 : n;
    if (getrandom(b, static_cast<std::size_t>(n), 0) != n)
        for (int i = 0; i < n; ++i) b[i] = static_cast<unsigned char>(std::rand());
    for (int i = 0; i < n; ++i) s += letras[b[i] % 36];
    return s;
}

fim_filho esperar_filho() {
    int st = 0;
    const pid_t pid = waitpid(-1, &st, 0);
    if (pid < 0) return {errno == EINTR ? 0L : -1L, 0, {}};
    esquecer_filho(pid);
    fim_filho f;
    f.id = pid;
    f.codigo = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    if (const auto i = erros_dos_filhos.find(pid); i != erros_dos_filhos.end()) {
        std::rewind(i->second);
        char b[4096];
        for (std::size_t n; f.erros.size() < 65536 && (n = std::fread(b, 1, sizeof b, i->second)) > 0;)
            f.erros.append(b, n);
        std::fclose(i->second);
        erros_dos_filhos.erase(i);
    }
    return f;
}
