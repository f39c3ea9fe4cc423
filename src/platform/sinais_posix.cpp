// Um sinal de término no meio da gravação não deixa temporário para trás: o caminho do único
// temporário aberto fica num buffer fixo, que o tratador pode ler sem alocar.
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "platform/plataforma.h"

namespace {

char caminho[4096];
volatile sig_atomic_t registrado = 0;

void ao_sinal(int s) {
    if (registrado) unlink(caminho);
    signal(s, SIG_DFL);
    raise(s);
}

// Bloqueia os sinais tratados enquanto vive; a troca do registro fica atômica para eles.
class bloqueio_sinais {
public:
    bloqueio_sinais() {
        sigset_t s;
        sigemptyset(&s);
        for (int x : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&s, x);
        sigprocmask(SIG_BLOCK, &s, &antigo_);
    }
    ~bloqueio_sinais() { sigprocmask(SIG_SETMASK, &antigo_, nullptr); }

private:
    sigset_t antigo_;
};

} // namespace

void instalar_tratamento_de_sinais() {
    struct sigaction a{};
    a.sa_handler = ao_sinal;
    sigemptyset(&a.sa_mask);
    for (int x : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&a.sa_mask, x);
    for (int x : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction velho{};
        // um sinal ignorado ao começar (nohup) continua ignorado
        if (sigaction(x, nullptr, &velho) == 0 && velho.sa_handler == SIG_IGN) continue;
        sigaction(x, &a, nullptr);
    }
    signal(SIGXFSZ, SIG_IGN);
}

int criar_temporario(std::string& modelo) {
    if (modelo.size() >= sizeof caminho) {
        errno = ENAMETOOLONG;
        return -1;
    }
    bloqueio_sinais b;
    const int fd = mkstemp(modelo.data());
    if (fd >= 0) {
        std::memcpy(caminho, modelo.c_str(), modelo.size() + 1);
        registrado = 1;
    }
    return fd;
}

int efetivar_temporario(const std::string& temporario, const std::string& destino) {
    bloqueio_sinais b;
    const int r = rename(temporario.c_str(), destino.c_str());
    const int erro = errno;
    if (r != 0) unlink(temporario.c_str());
    registrado = 0;
    errno = erro;
    return r;
}

void descartar_temporario(const std::string& temporario) {
    bloqueio_sinais b;
    unlink(temporario.c_str());
    registrado = 0;
}
