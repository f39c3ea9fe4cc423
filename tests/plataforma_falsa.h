// Controle da plataforma falsa dos testes.
#pragma once

#include <string>
#include <vector>

#include "platform/plataforma.h"

namespace falsa {
extern std::vector<std::string> editados;  // arquivos passados ao editor, em ordem
extern bool com_editor;                    // há um editor a executar
extern std::vector<double> relogio;        // leituras sucessivas do tempo de processador
extern data_local agora;                   // hora local devolvida
extern long long memoria;                  // memória disponível devolvida (-1 = não se sabe)
extern std::vector<std::vector<std::string>> programas; // programas pedidos (nenhum começa)
extern std::vector<std::vector<std::string>> filhos;    // argumentos de cada filho lançado, em ordem
extern std::vector<int> codigos_filhos;                // código de saída de cada filho (0 além do fim)
void reiniciar();
} // namespace falsa
