// Opções da linha de comando: o que pedem além da rodada de sempre.
#pragma once

#include <string>

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
};

// Resultado da interpretação: seguir com a rodada, ou sair já com `codigo`.
struct leitura_opcoes {
    bool rodar = false;
    int codigo = 0;
    opcoes_execucao opcoes;
};

/// Interpreta argv (getopt_long); ajuda e versão na saída padrão, erros e dica de uso no erro padrão.
leitura_opcoes interpretar_opcoes(int argc, char** argv);
