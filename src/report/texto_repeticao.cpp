// Os tempos de --repeat: no resumo, quantas soluções a rodada fez e a mediana, o menor e o maior tempo de CPU e de
// relógio delas, em colunas no fim da linha (sem --repeat, uma solução: os três são o tempo dela); lidos de volta, o
// tempo que a tabela e as figuras do estudo mostram. A mediana, não a média: uma solução atrasada por outro processo
// não a move.
#include <algorithm>
#include <cmath>

#include "report/listagem.h"

namespace {

faixa_tempos faixa_de(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    const double mediana = n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
    return {mediana, v.front(), v.back()};
}

} // namespace

const colunas_de_repeticao& nomes_das_colunas_de_repeticao() {
    static const colunas_de_repeticao c{"repeat",        "cpu_s_mediana",     "cpu_s_min",    "cpu_s_max",
                                        "relogio_s_mediana", "relogio_s_min", "relogio_s_max"};
    return c;
}

faixa_tempos faixa_cpu(const estado_execucao& e) {
    return faixa_de(e.tcpu_repeticoes.empty() ? std::vector<double>{e.tcpu} : e.tcpu_repeticoes);
}

faixa_tempos faixa_relogio(const estado_execucao& e) {
    return faixa_de(e.tparede_repeticoes.empty() ? std::vector<double>{e.tparede} : e.tparede_repeticoes);
}

double cpu_da_rodada(const linha_estudo& l) { return std::isfinite(l.cpu_mediana) ? l.cpu_mediana : l.cpu_s; }
