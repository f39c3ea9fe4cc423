#pragma once

#include <string>
#include <vector>

#include "platform/plataforma.h"

// Controle da plataforma falsa dos testes.
namespace falsa {
extern std::vector<std::string> editados;  // arquivos passados ao editor, em ordem
extern std::vector<double> relogio;        // leituras sucessivas do tempo de processador
extern data_local agora;                   // hora local devolvida
void reiniciar();
} // namespace falsa
