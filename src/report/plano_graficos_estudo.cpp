// O plano das figuras de um estudo: as curvas de cada figura, as séries que uma escala logarítmica não mostra
// deixadas de fora com uma nota, e as séries de uma quantidade com exatamente os mesmos pontos (o rho da LFA, que não
// depende do ciclo) fundidas numa só curva com o rótulo comum.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "report/graficos_estudo.h"

namespace {

// A escala do eixo y de uma figura: a logarítmica não mostra zeros nem uma série de um ponto só acima de zero.
enum class escala_y { logaritmica, linear };

// Por que os valores de uma série não dão uma curva na escala; vazio quando dão.
std::string degenerada(const std::vector<double>& v, escala_y escala) {
    std::size_t finitos = 0, positivos = 0;
    for (double x : v) finitos += std::isfinite(x), positivos += std::isfinite(x) && x > 0.0;
    if (finitos == 0) return "it has no value";
    if (escala == escala_y::linear) return {};
    if (positivos == 0) return "all its values are 0";
    if (positivos == 1) return v.size() == 1 ? "it has a single point" : "only one of its values is above 0";
    return {};
}

// Os pontos de uma série como texto exato (x e y de cada linha, os bits dos doubles): chave das séries iguais.
std::string pontos(const tabela_estudo& t, const serie_estudo& s, double (*valor)(const linha_estudo&)) {
    std::map<double, std::string> ordem; // x -> o y (x repetidos não ocorrem numa série de eixo)
    for (std::size_t l : s.linhas) {
        const double y = valor(t.linhas[l]);
        std::string bits(sizeof y, '\0');
        std::memcpy(bits.data(), &y, sizeof y);
        ordem[t.x[l]] += bits;
    }
    std::string k;
    for (const auto& [x, y] : ordem) {
        std::string bits(sizeof x, '\0');
        std::memcpy(bits.data(), &x, sizeof x);
        k += bits + y;
    }
    return k;
}

// As curvas de uma quantidade, uma por série, menos as degeneradas (com a nota); com `fundir`, as séries de pontos
// iguais numa curva só, na posição da primeira.
struct pedido_curvas {
    int coluna;
    std::string quantidade, figura;
    double (*valor)(const linha_estudo&);
    bool fundir;
    escala_y escala = escala_y::logaritmica;
};

void curvas(std::vector<curva_estudo>& saida, const tabela_estudo& t, const std::vector<serie_estudo>& series,
            const pedido_curvas& p, std::vector<std::string>& notas) {
    std::map<std::string, std::size_t> por_pontos; // pontos -> a curva em `saida`
    for (std::size_t i = 0; i < series.size(); ++i) {
        std::vector<double> v;
        for (std::size_t l : series[i].linhas) v.push_back(p.valor(t.linhas[l]));
        if (const std::string porque = degenerada(v, p.escala); !porque.empty()) {
            const std::string r = series[i].rotulo.empty() ? "" : " (" + series[i].rotulo + ")";
            notas.push_back("note: --plot " + p.figura + " leaves out the curve '" + p.quantidade + r + "': " + porque +
                            (p.escala == escala_y::logaritmica ? " (a logarithmic scale cannot show it)" : ""));
            continue;
        }
        if (p.fundir) {
            const auto [k, nova] = por_pontos.emplace(pontos(t, series[i], p.valor), saida.size());
            if (!nova) {
                saida[k->second].series.push_back(i);
                continue;
            }
        }
        saida.push_back({{i}, p.coluna, p.quantidade, series[i].rotulo});
    }
    for (curva_estudo& c : saida)
        if (c.series.size() > 1 && c.quantidade == p.quantidade) c.rotulo = rotulo_fundido(series, c.series);
}

} // namespace

std::string rotulo_fundido(const std::vector<serie_estudo>& series, const std::vector<std::size_t>& quais) {
    std::string r;
    const std::vector<valor_parametro>& primeira = series[quais.front()].valores;
    for (std::size_t p = 0; p < primeira.size(); ++p) {
        std::vector<std::string> valores;
        for (std::size_t s : quais) {
            const std::string& v = series[s].valores[p].valor;
            if (std::find(valores.begin(), valores.end(), v) == valores.end()) valores.push_back(v);
        }
        std::string juntos;
        for (const std::string& v : valores) juntos += (juntos.empty() ? "" : ",") + v;
        r += (r.empty() ? "" : " ") + primeira[p].nome + "=" + juntos;
    }
    return r;
}

plano_estudo planejar_graficos_estudo(const tabela_estudo& t, const arquivos_estudo& a) {
    plano_estudo p;
    curvas(p.fator, t, t.series_eixo,
           {col_q, "q medido", a.fator, [](const linha_estudo& l) { return l.q_assintotico; }, true}, p.notas);
    curvas(p.fator, t, t.series_eixo,
           {col_rho, "rho LFA", a.fator, [](const linha_estudo& l) { return l.rho_lfa; }, true}, p.notas);
    curvas(p.tempo, t, t.series_eixo, {col_cpu, "CPU", a.tempo, cpu_da_rodada, true}, p.notas);
    curvas(p.erro_h, t, t.series_grade,
           {2, "erro de discretização", a.erro_h, [](const linha_estudo& l) { return l.erro_discretizacao_max; }, false},
           p.notas);
    for (const linha_estudo& l : t.linhas) p.barras_de_tempo = p.barras_de_tempo || l.cpu_max > l.cpu_min;
    // a teoria contra a medida: mu, o rho de dois níveis e o de k níveis (o maior k que alguma rodada tem) como
    // linhas, q medido como pontos, numa escala linear; as curvas sem valor (a LFA não se aplica) ficam de fora
    for (const linha_estudo& l : t.linhas)
        for (int k = 4; k > p.k_teoria; --k)
            if (std::isfinite(l.rho_lfa_k[k - 2])) p.k_teoria = k;
    double (*const rho_k[])(const linha_estudo&) = {[](const linha_estudo& l) { return l.rho_lfa_k[0]; },
                                                    [](const linha_estudo& l) { return l.rho_lfa_k[1]; },
                                                    [](const linha_estudo& l) { return l.rho_lfa_k[2]; }};
    std::vector<std::string> sem_valor; // as notas das curvas de previsão sem valor: só se a figura sai
    const escala_y linear = escala_y::linear;
    curvas(p.teoria, t, t.series_eixo,
           {col_mu, "mu LFA (suavização)", a.teoria, [](const linha_estudo& l) { return l.mu_lfa; }, true, linear},
           sem_valor);
    curvas(p.teoria, t, t.series_eixo,
           {col_rho, "rho LFA, dois níveis", a.teoria, [](const linha_estudo& l) { return l.rho_lfa; }, true, linear},
           sem_valor);
    if (p.k_teoria >= 2)
        curvas(p.teoria, t, t.series_eixo,
               {col_rho_k, "rho LFA, " + std::to_string(p.k_teoria) + " níveis (o ciclo da rodada)", a.teoria,
                rho_k[p.k_teoria - 2], true, linear},
               sem_valor);
    if (p.teoria.empty()) {
        p.notas.push_back("note: --plot " + a.teoria + " is not drawn: the analysis gives no factor for these runs "
                          "(a varying coefficient, Krylov acceleration, or a summary written without it)");
    } else {
        p.notas.insert(p.notas.end(), sem_valor.begin(), sem_valor.end());
        curvas(p.teoria, t, t.series_eixo,
               {col_q, "q medido", a.teoria, [](const linha_estudo& l) { return l.q_assintotico; }, false, linear},
               p.notas);
    }
    const auto sem_figura = [&](const std::string& figura) {
        p.notas.push_back("note: --plot " + figura + " is not drawn: no series has two values above 0");
    };
    if (p.fator.empty()) sem_figura(a.fator);
    if (p.tempo.empty()) sem_figura(a.tempo);
    if (p.erro_h.empty() && !t.series_grade.empty()) sem_figura(a.erro_h);
    return p;
}
