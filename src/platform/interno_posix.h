// Peças POSIX compartilhadas pelos arquivos da plataforma (não fazem parte da interface).
#pragma once

#include <csignal>
#include <string>

/// Registra um temporário com nome, para um sinal apagá-lo; devolve a vaga, ou -1 se não há vaga livre.
int registrar_temporario(const std::string& caminho);
/// Tira o temporário do registro.
void esquecer_temporario(int vaga);
/// Registra um filho vivo de um estudo, a quem os sinais anotados são repassados; false se não há vaga.
bool registrar_filho(int pid);
/// Tira o filho do registro.
void esquecer_filho(int pid);

// Bloqueia os sinais tratados enquanto vive: o que se faz dentro dele não é cortado ao meio.
class bloqueio_sinais {
public:
    bloqueio_sinais();
    ~bloqueio_sinais();
    bloqueio_sinais(const bloqueio_sinais&) = delete;
    bloqueio_sinais& operator=(const bloqueio_sinais&) = delete;

private:
    sigset_t antigo_;
};

// Enquanto vive, SIGINT e SIGQUIT são ignorados, como system() faz enquanto espera o filho.
class interrupcoes_ignoradas {
public:
    interrupcoes_ignoradas();
    ~interrupcoes_ignoradas();
    interrupcoes_ignoradas(const interrupcoes_ignoradas&) = delete;
    interrupcoes_ignoradas& operator=(const interrupcoes_ignoradas&) = delete;

private:
    struct sigaction antigo_int_{}, antigo_quit_{};
};
