// Saída padrão: escrita que não se perde calada. A primeira falha (um leitor que saiu, disco cheio) fica
// guardada; o resto da rodada segue e o código de saída a relata no fim.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "report/listagem.h"

namespace {
int falha_guardada = 0;
bool escreveu = false;
} // namespace

bool escrever_na_saida_padrao(const std::string& s) {
    if (falha_guardada) return false;
    escreveu = true;
    if (std::fwrite(s.data(), 1, s.size(), stdout) != s.size() || std::fflush(stdout) != 0) {
        falha_guardada = errno ? errno : EIO;
        return false;
    }
    return true;
}

std::string fechar_saida_padrao() {
    if (!falha_guardada && std::fflush(stdout) != 0) falha_guardada = errno ? errno : EIO;
    errno = 0;
    // uma saída padrão fechada de antemão (>&-) só é falha se algo devia ter ido para ela
    if (std::fclose(stdout) != 0 && !falha_guardada && (escreveu || errno != EBADF))
        falha_guardada = errno ? errno : EIO;
    return falha_guardada ? std::string("write error on standard output: ") + std::strerror(falha_guardada) : "";
}
