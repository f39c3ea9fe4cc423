// Os tempos de --repeat: no resumo, quantas soluções a rodada fez e a mediana, o menor e o maior tempo de CPU e de
// relógio delas, em colunas no fim da linha (sem --repeat, uma solução: os três são o tempo dela); lidos de volta, o
// tempo que a tabela e as figuras do estudo mostram. A mediana, não a média: uma solução atrasada por outro processo
// não a move.
#include <algorithm>
#include <cmath>

#include "report/listagem.h"

namespace {

// Mediana, menor e maior de valores não vazios.
struct faixa_tempos {
    double mediana, menor, maior;
};

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

std::string cabecalho_colunas_repeticao() {
    const colunas_de_repeticao& c = nomes_das_colunas_de_repeticao();
    return std::string(c.repeticoes) + "," + c.cpu_mediana + "," + c.cpu_min + "," + c.cpu_max + "," +
           c.relogio_mediana + "," + c.relogio_min + "," + c.relogio_max;
}

std::string colunas_repeticao(const estado_execucao& e) {
    const bool repetida = !e.tcpu_repeticoes.empty();
    const faixa_tempos cpu = faixa_de(repetida ? e.tcpu_repeticoes : std::vector<double>{e.tcpu});
    const faixa_tempos relogio = faixa_de(repetida ? e.tparede_repeticoes : std::vector<double>{e.tparede});
    return std::to_string(repetida ? e.tcpu_repeticoes.size() : 1) + "," + numero_csv(cpu.mediana) + "," +
           numero_csv(cpu.menor) + "," + numero_csv(cpu.maior) + "," + numero_csv(relogio.mediana) + "," +
           numero_csv(relogio.menor) + "," + numero_csv(relogio.maior);
}

double cpu_da_rodada(const linha_estudo& l) { return std::isfinite(l.cpu_mediana) ? l.cpu_mediana : l.cpu_s; }
