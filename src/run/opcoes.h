// Opções da linha de comando: o que pedem além da rodada de sempre.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "state/formato_figura.h"
#include "state/metodo.h"
#include "state/opcoes_metodo.h"

// Um valor da entrada trocado pela linha de comando (--set NOME=VALOR).
struct alteracao_entrada {
    std::string nome, valor;
};

// Um parâmetro de um estudo (--sweep NOME=LISTA): um valor da entrada ou uma opção do método, e seus valores.
struct varredura {
    std::string nome;
    std::vector<std::string> valores;
};

// O que a linha de comando pede além da rodada de sempre.
struct opcoes_execucao {
    std::string entrada = "tervano3.ent"; // arquivo de entrada
    bool editar = true;                   // editor antes da leitura e depois da listagem
    bool monitor = false;                 // uma linha por iteração na saída padrão
    std::string csv;                      // histórico em CSV ("-" = saída padrão)
    std::string json;                     // documento JSON da rodada ("-" = saída padrão)
    std::string grafico;                  // prefixo das figuras
    formato_figura formato_grafico = formato_figura::svg; // --plot-format
    bool formato_dado = false;            // --plot-format foi dado (só vale com --plot)
    std::string resumo;                   // CSV de estudo paramétrico, uma linha por rodada
    int threads = 0;                      // 0 = processadores disponíveis
    bool utf8 = false;                    // listagem em UTF-8 em vez de Latin-1
    metodo_solver metodo;                 // componentes do método (--cycle, --smoother, ...)
    bool lfa = false;                     // só a tabela da análise de Fourier local, sem resolver
    bool csv_erros = false;               // colunas do erro algébrico por iteração no --csv e no --json
    bool tempos = false;                  // tabela do tempo por nível e fase depois da rodada
    int repeticoes = 1;                   // --repeat R: soluções cronometradas (a mediana e a faixa no resumo)
    std::vector<alteracao_entrada> alteracoes; // --set, na ordem dada
    std::string campo;                    // --save-field: o campo final em .npy (e o erro com --csv-errors)
    std::string reinicio;                 // --restart: o campo de partida com tipo_ci = 2 (vazio: o da listagem)
    // estudo paramétrico
    std::vector<varredura> varreduras;    // --sweep, na ordem dada (o primeiro é o laço de fora)
    std::vector<alteracao_entrada> opcoes_metodo; // as opções de método como dadas (nome sem "--", valor), para os filhos
    bool comandos = false;                // imprime um comando por rodada em vez de rodar
    std::string estudo;                   // --study-id: o estudo da rodada, na coluna estudo do resumo
    std::string tabela_estudo;            // --study-table: a tabela de um resumo existente
};

// Resultado da interpretação: seguir com a rodada, ou sair já com `codigo`.
struct leitura_opcoes {
    bool rodar = false;
    int codigo = 0;
    opcoes_execucao opcoes;
};

/// Nome (sem "--") de uma opção de método (state/opcoes_metodo.h), que um estudo pode variar?
bool opcao_de_metodo(std::string_view nome);
/// O valor de uma opção de método em m (um número pela regra da entrada); vazio quando aceito, senão o motivo; em
/// `aviso`, o de um número seguido de algo (vazio se nada).
std::string ler_valor_do_metodo(const opcao_metodo& o, const std::string& valor, metodo_solver& m, std::string* aviso);
/// Valor de uma opção de método (nome sem "--") gravado em m, com o aviso no erro padrão; vazio quando aceito, senão
/// a mensagem de erro.
std::string ler_opcao_metodo(std::string_view opcao, const char* valor, metodo_solver& m);
/// O que as opções do problema não admitem juntas (sin:KX:KY com coeficiente variável); vazio quando servem.
std::string conferir_opcoes_do_problema(const metodo_solver& m);
/// Avisos (sem o prefixo) das opções de método que não se aplicam à entrada lida; a rodada segue sem elas.
std::vector<std::string> avisos_metodo(const metodo_solver& m, int nm);

/// --set NOME=VALOR lido e conferido como a leitura conferiria o valor; vazio quando aceito, senão a mensagem.
std::string ler_alteracao(const char* texto, alteracao_entrada& a);
/// --sweep NOME=LISTA: a lista expandida (FIRST:LAST inteiros, ou itens separados por vírgula), cada valor conferido.
std::string ler_varredura(const char* texto, varredura& v);
/// O que um estudo exige (--summary) e recusa (--monitor, --csv, ...); vazio quando as opções servem.
std::string conferir_opcoes_estudo(const opcoes_execucao& o);

/// Interpreta argv; ajuda e versão na saída padrão, erros e dica de uso no erro padrão.
leitura_opcoes interpretar_opcoes(int argc, char** argv);
/// O texto de --help.
std::string texto_de_ajuda();
