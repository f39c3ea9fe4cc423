// O documento JSON de uma rodada (--json): os tijolos (report/json.cpp) e o documento (report/documento_json.cpp),
// cuja forma está em doc/placa.schema.json.
#pragma once

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "report/listagem.h"

/// Texto JSON entre aspas, sempre UTF-8 válido (um byte que não forma um caractere vira U+FFFD).
std::string texto_json(const std::string& s);
/// Número JSON: a forma mais curta que relê o mesmo double; null quando não é finito.
std::string numero_json(double v);
/// O valor de uma coluna do resumo em JSON pelo seu tipo: null quando vazio (não se aplica, não é finito).
std::string valor_json(tipo_coluna tipo, const std::string& valor);
// O que o documento lê além das colunas do resumo.
struct dados_json {
    const estado_execucao& e;
    const metodo_efetivo& metodo;
    const cifras_rodada& cifras;
    std::span<const erro_iteracao> erros = {};   // o erro algébrico de cada iteração (--csv-errors), ou nada
    std::span<const normas_iteracao> normas = {}; // as normas L2 e máxima do resíduo de cada iteração, ou nada
    const tempos_fases* tempos = nullptr;        // os tempos por nível e fase, ou nulo
    std::vector<std::pair<std::string, long long>> memoria = {}; // o plano de memória em bytes (-1: não se sabe)
    std::string estudo = {};                     // --study-id
};
/// O documento inteiro, terminado por uma quebra de linha.
void escrever_json(const dados_json& d, saida_texto& saida);
