// O campo salvo e o reinício (tipo_ci = 2): --save-field escreve o campo final em .npy com a sua descrição
// (FILE.npy.json); um reinício lê esse par e o confere contra a grade, o problema e o operador da rodada antes de
// qualquer arquivo ser escrito.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "report/listagem.h"
#include "state/estado.h"
#include "state/metodo.h"
#include "run/opcoes.h"
#include "analysis/analise.h"

// O que o cabeçalho de um .npy diz.
struct cabecalho_npy_lido {
    long long ny = 0, nx = 0;   // a forma (ny, nx)
    std::size_t inicio = 0;     // onde os dados começam
};
/// Confere magia, versão (1.0, 2.0 ou 3.0), o dicionário ('<f8', fortran_order False, forma de duas dimensões) e que
/// os bytes são exatamente os da forma; vazio quando serve, senão o que está errado.
std::string ler_cabecalho_npy(const std::string& bytes, cabecalho_npy_lido& c);

// Um valor de um objeto JSON: texto (já sem escapes), número ou lista (como o texto dos números), true/false/null.
struct valor_objeto_json {
    enum class tipo { texto, numero, lista, outro } qual = tipo::outro;
    std::string texto;              // texto, o número como escrito, ou true/false/null
    std::vector<std::string> itens; // lista: os números ou textos
};
/// Lê um objeto JSON de um nível (valores simples ou listas de valores simples); vazio quando serve, senão o
/// porquê.
std::string ler_objeto_json(const std::string& texto, std::map<std::string, valor_objeto_json>& objeto);

/// O arquivo do reinício: --restart, ou o nome da listagem com a extensão trocada por ".npy" (acrescentada se não
/// tem).
std::string arquivo_de_reinicio(const estado_execucao& e, const opcoes_execucao& o);
/// O campo de partida da rodada: com tipo_ci = 2 o do reinício, lido e conferido; vazio para os outros tipo_ci e
/// quando --start random ou --fmg fazem o seu próprio início (com um aviso).
std::vector<double> reinicio_da_rodada(const estado_execucao& e, const opcoes_execucao& o, const metodo_efetivo& m);
/// Os arquivos de --save-field: o campo, a descrição e, com --csv-errors, o erro algébrico.
std::vector<std::string> arquivos_do_campo(const opcoes_execucao& o);
/// Prepara no conjunto os arquivos de --save-field (o erro medido contra `discreta`).
void preparar_campo_final(const estado_execucao& e, const opcoes_execucao& o, const metodo_efetivo& m,
                          const solucao_discreta& discreta, conjunto_saidas& saidas);
/// Lê e confere o campo do reinício (nx*ny valores em ordem de armazenamento); erro_fatal com o arquivo e o porquê.
std::vector<double> ler_reinicio(const estado_execucao& e, const metodo_efetivo& m, const std::string& arquivo);
