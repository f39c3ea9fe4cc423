// Leitor de valores do arquivo de entrada (leitura dirigida por lista): peça interna da leitura.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "run/execucao.h"

/// Texto de um valor para mensagens: bytes de controle e não ASCII como \xNN, encurtado a 40 caracteres.
std::string mostrar(const std::string& s);

// Cada leitura começa numa linha nova e descarta o resto da linha; o que foi lido fica registrado para os avisos.
class leitor {
public:
    leitor(std::FILE* f, const std::string& arquivo) : f_(f), arquivo_(arquivo) {}

    /// Próximo valor cru. Com `texto`, aceita apóstrofos ou aspas e guarda até `limite` bytes.
    std::string valor(const char* nome, bool texto, std::size_t limite);
    /// Erro fatal na linha corrente: "TIPO, unit 7, file F, line N: DETALHE".
    [[noreturn]] void erro(const std::string& tipo, const std::string& detalhe) const;
    /// Os valores lidos até agora, em ordem; o último pode ser ajustado por quem o interpreta.
    std::vector<valor_lido>& lidos() { return lidos_; }

private:
    int cru();
    int ler();
    void pular_linha(std::string& resto);

    std::FILE* f_;
    const std::string& arquivo_;
    long long linha_ = 0;
    bool comeco_ = true;     // nada lido ainda: uma marca de ordem de bytes UTF-8 é pulada
    std::string devolvidos_; // bytes lidos a mais, o próximo no fim
    std::vector<valor_lido> lidos_;
};
