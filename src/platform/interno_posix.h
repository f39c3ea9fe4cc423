// Peças POSIX compartilhadas pelos arquivos da plataforma (não fazem parte da interface).
#pragma once

#include <csignal>
#include <cstddef>
#include <string>

#include "platform/plataforma.h"

/// O diretório de um caminho, terminado em '/' (vazio: o corrente).
std::string diretorio_de(const std::string& c);
/// O diretório para as chamadas do sistema: "." quando vazio.
const char* ou_corrente(const std::string& d);
/// "/proc/self/fd/N", "/proc/PID/fd/N" ou "/dev/fd/N": N quando o descritor é deste processo, -1 quando é de outro,
/// -2 quando o caminho não é desses.
int descritor_de(const std::string& p);
/// O destino real de `caminho` (links seguidos; pode não existir), recusando um link de outro usuário (que não o
/// root) em qualquer pasta.
falha_arquivo resolver(const std::string& caminho, std::string& real);
/// Abre um destino especial para escrita direta, sem esperar por um leitor de FIFO que não existe.
falha_arquivo abrir_especial(const std::string& real, int& fd);
/// Escreve n bytes, todos ou a falha.
falha_arquivo escrever_tudo(int fd, const char* p, std::size_t n);

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
