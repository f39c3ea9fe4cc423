// Opções da linha de comando: o que pedem além da rodada de sempre.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "solver/metodo.h"

// O que a linha de comando pede além da rodada de sempre.
struct opcoes_execucao {
    std::string entrada = "tervano3.ent"; // arquivo de entrada
    bool editar = true;                   // editor antes da leitura e depois da listagem
    bool monitor = false;                 // uma linha por iteração na saída padrão
    std::string csv;                      // histórico em CSV ("-" = saída padrão)
    std::string grafico;                  // prefixo dos SVG
    std::string resumo;                   // CSV de estudo paramétrico, uma linha por rodada
    int threads = 0;                      // 0 = processadores disponíveis
    bool utf8 = false;                    // listagem em UTF-8 em vez de Latin-1
    metodo_solver metodo;                 // componentes do método (--cycle, --smoother, ...)
};

// Resultado da interpretação: seguir com a rodada, ou sair já com `codigo`.
struct leitura_opcoes {
    bool rodar = false;
    int codigo = 0;
    opcoes_execucao opcoes;
};

/// Valor de uma opção de método (nome sem "--": cycle, pre, post, coarsest, smoother, omega, restriction, start)
/// gravado em m; vazio quando aceito, senão a mensagem de erro.
std::string ler_opcao_metodo(std::string_view opcao, const char* valor, metodo_solver& m);
/// Avisos (sem o prefixo) das opções de método que não se aplicam à entrada lida; a rodada segue sem elas.
std::vector<std::string> avisos_metodo(const metodo_solver& m, int nm);

/// Interpreta argv (getopt_long); ajuda e versão na saída padrão, erros e dica de uso no erro padrão.
leitura_opcoes interpretar_opcoes(int argc, char** argv);
