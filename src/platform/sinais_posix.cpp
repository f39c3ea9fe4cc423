// Sinais: quem termina o processo leva consigo os temporários com nome; o registro fica em memória fixa, que o
// tratador lê sem alocar.
#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

#include "platform/interno_posix.h"
#include "platform/plataforma.h"

namespace {

constexpr int vagas = 16;
char caminhos[vagas][4096];
volatile sig_atomic_t ocupada[vagas];

// Sinais cuja ação padrão termina o processo e que vêm de fora (os de falha do próprio programa, como SIGSEGV,
// ficam com quem os trata, o sistema ou os sanitizers).
const int terminais[] = {SIGHUP,  SIGINT,    SIGQUIT,   SIGABRT, SIGUSR1, SIGUSR2, SIGALRM,
                         SIGTERM, SIGSTKFLT, SIGXCPU,   SIGVTALRM, SIGPROF, SIGIO,  SIGPWR};

// Filhos vivos de um estudo e o sinal anotado; o tratador do estudo só lê e escreve memória fixa.
constexpr int max_filhos = 1024;
volatile sig_atomic_t filhos[max_filhos];
volatile sig_atomic_t anotado = 0;

void ao_sinal_no_estudo(int s) {
    const int erro = errno;
    if (!anotado) anotado = s;
    for (int i = 0; i < max_filhos; ++i)
        if (filhos[i] > 0) kill(-static_cast<pid_t>(filhos[i]), s); // o grupo do filho
    errno = erro;
}

void ao_sinal(int s) {
    const int erro = errno;
    for (int v = 0; v < vagas; ++v)
        if (ocupada[v]) unlink(caminhos[v]);
    signal(s, SIG_DFL);
    raise(s);
    errno = erro;
}

template <class F>
void para_cada_sinal(F f) {
    for (int s : terminais) f(s);
    for (int s = SIGRTMIN; s <= SIGRTMAX; ++s) f(s);
}

sigset_t tratados() {
    sigset_t c;
    sigemptyset(&c);
    para_cada_sinal([&](int s) { sigaddset(&c, s); });
    return c;
}

} // namespace

void instalar_tratamento_de_sinais() {
    struct sigaction a{};
    a.sa_handler = ao_sinal;
    a.sa_mask = tratados();
    para_cada_sinal([&](int s) {
        struct sigaction velho{};
        // um sinal ignorado ao começar (nohup, trabalho em segundo plano) continua ignorado
        if (sigaction(s, nullptr, &velho) == 0 && velho.sa_handler == SIG_IGN) return;
        sigaction(s, &a, nullptr);
    });
    signal(SIGXFSZ, SIG_IGN);
    signal(SIGPIPE, SIG_IGN);
}

int registrar_temporario(const std::string& caminho) {
    if (caminho.size() >= sizeof caminhos[0]) return -1;
    bloqueio_sinais b;
    for (int v = 0; v < vagas; ++v)
        if (!ocupada[v]) {
            std::memcpy(caminhos[v], caminho.c_str(), caminho.size() + 1);
            ocupada[v] = 1;
            return v;
        }
    return -1;
}

void esquecer_temporario(int vaga) {
    if (vaga >= 0 && vaga < vagas) ocupada[vaga] = 0;
}

bloqueio_sinais::bloqueio_sinais() {
    const sigset_t c = tratados();
    pthread_sigmask(SIG_BLOCK, &c, &antigo_);
}

bloqueio_sinais::~bloqueio_sinais() { pthread_sigmask(SIG_SETMASK, &antigo_, nullptr); }

interrupcoes_ignoradas::interrupcoes_ignoradas() {
    struct sigaction ign{};
    ign.sa_handler = SIG_IGN;
    sigemptyset(&ign.sa_mask);
    sigaction(SIGINT, &ign, &antigo_int_);
    sigaction(SIGQUIT, &ign, &antigo_quit_);
}

interrupcoes_ignoradas::~interrupcoes_ignoradas() {
    sigaction(SIGINT, &antigo_int_, nullptr);
    sigaction(SIGQUIT, &antigo_quit_, nullptr);
}

void anotar_sinais_de_termino() {
    struct sigaction a{};
    a.sa_handler = ao_sinal_no_estudo;
    a.sa_mask = tratados();
    a.sa_flags = 0; // sem SA_RESTART: a espera pelos filhos volta com EINTR
    anotado = 0;
    para_cada_sinal([&](int s) {
        struct sigaction velho{};
        if (sigaction(s, nullptr, &velho) == 0 && velho.sa_handler == SIG_IGN) return;
        sigaction(s, &a, nullptr);
    });
}

int sinal_anotado() { return anotado; }

void terminar_pelo_sinal(int s) {
    for (int v = 0; v < vagas; ++v)
        if (ocupada[v]) unlink(caminhos[v]);
    signal(s, SIG_DFL);
    sigset_t c;
    sigemptyset(&c);
    sigaddset(&c, s);
    pthread_sigmask(SIG_UNBLOCK, &c, nullptr);
    raise(s);
    _exit(128 + s); // um sinal que não termina (não deveria chegar aqui)
}

bool registrar_filho(int pid) {
    bloqueio_sinais b;
    // o sinal pode ter chegado entre a última consulta do estudo e o fork: o tratador já passou pelos filhos, e
    // este, que ele não viu, o recebe agora em vez de correr até o fim com o estudo à sua espera
    if (anotado) kill(-static_cast<pid_t>(pid), anotado);
    for (int i = 0; i < max_filhos; ++i)
        if (filhos[i] == 0) {
            filhos[i] = pid;
            return true;
        }
    return false;
}

void esquecer_filho(int pid) {
    bloqueio_sinais b;
    for (int i = 0; i < max_filhos; ++i)
        if (filhos[i] == pid) filhos[i] = 0;
}

sinais_adiados::sinais_adiados() {
    static_assert(sizeof antigo_ >= sizeof(sigset_t));
    const sigset_t c = tratados();
    pthread_sigmask(SIG_BLOCK, &c, reinterpret_cast<sigset_t*>(antigo_));
}

sinais_adiados::~sinais_adiados() { pthread_sigmask(SIG_SETMASK, reinterpret_cast<const sigset_t*>(antigo_), nullptr); }
