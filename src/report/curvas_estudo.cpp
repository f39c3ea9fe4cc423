// As curvas e a legenda das figuras de fator e de tempo de um estudo: o eixo x (categorias, N ou o valor), o estilo
// de cada quantidade, os pontos de cada série lado a lado dentro da sua categoria e a legenda fatorada (a cor diz a
// série, o marcador a quantidade), com as curvas fundidas de várias séries numa entrada só.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "report/graficos_estudo.h"

namespace {

const char* const cores[] = {"#31688e", "#e07b00", "#35b779", "#b5282b", "#440154", "#8e6c00", "#1f9e89", "#7f7f7f"};

// O estilo de uma quantidade: marcador cheio e linha contínua para o que se mede, vazio e tracejada para o previsto.
// Na figura da teoria as previsões são só linhas (mu pontilhada, rho tracejada, rho de k níveis contínua) e o medido
// só pontos; em categorias, pontos com um marcador vazio por previsão.
std::string marcador(int coluna) {
    switch (coluna) {
    case col_rho: return "pt 6 ps 0.9";
    case col_mu: return "pt 4 ps 0.9";
    case col_rho_k: return "pt 8 ps 1";
    default: return "pt 7 ps 0.8";
    }
}

std::string estilo(int coluna, bool categorias, figura_estudo f = figura_estudo::fator) {
    if (categorias) return "with points " + marcador(coluna) + " lw 1.5 ";
    if (f == figura_estudo::teoria) {
        if (coluna == col_q) return "with points pt 7 ps 1.1 ";
        return std::string("with lines ") + (coluna == col_mu ? "dt 3 " : coluna == col_rho ? "dt 2 " : "") + "lw 2 ";
    }
    return "with linespoints " + marcador(coluna) + (coluna == col_rho ? " dt 2 lw 1.5 " : " lw 2 ");
}

// O nome de uma quantidade pela sua coluna: o da primeira curva dela.
std::string quantidade_da_coluna(const std::vector<curva_estudo>& curvas, int coluna) {
    for (const curva_estudo& c : curvas)
        if (c.coluna == coluna) return c.quantidade;
    return {};
}

// Onde cada série fica dentro da sua categoria: deslocamentos simétricos em torno da marca, lado a lado.
double deslocamento(std::size_t serie, std::size_t series) {
    if (series <= 1) return 0.0;
    const double passo = std::min(0.7 / static_cast<double>(series), 0.15);
    return (static_cast<double>(serie) - 0.5 * static_cast<double>(series - 1)) * passo;
}

// O nome de uma quantidade na legenda.
std::string titulo_da_quantidade(const std::string& q) { return q == "rho LFA" ? "rho LFA (previsto)" : q; }

} // namespace

std::string numero_gp(double v) {
    if (!std::isfinite(v)) return "?";
    char b[40];
    std::snprintf(b, sizeof b, "%.9g", v);
    return b;
}

std::string cor_da_serie(std::size_t i) { return std::string("lc rgb '") + cores[i % 8] + "'"; }

eixo_x preparar_eixo(const tabela_estudo& t, std::string& gp) {
    eixo_x e;
    e.nome = t.eixo.empty() ? std::string("rodada") : t.eixo;
    e.categorias = !t.rotulos_x.empty();
    if (e.categorias) {
        // uma marca por categoria, sem grade vertical: os pontos de uma categoria ficam juntos em volta da sua marca
        gp += "set grid noxtics ytics lc rgb '#dddddd'\nset xtics (";
        for (std::size_t i = 0; i < t.rotulos_x.size(); ++i)
            gp += (i ? ", " : "") + texto_gp(t.rotulos_x[i]) + " " + std::to_string(i + 1);
        gp += ") noenhanced\nset xrange [0.5:" + numero_gp(static_cast<double>(t.rotulos_x.size()) + 0.5) + "]\n";
        gp += "set xlabel " + texto_gp(e.nome) + " noenhanced\n";
        return e;
    }
    gp += "set grid xtics ytics lc rgb '#dddddd'\n";
    if (t.eixo_de_grade) {
        e.nome = "N (" + e.nome + ")";
        gp += "set logscale x\nset format x '10^{%L}'\nset xlabel " +
              texto_gp("N, incógnitas do nível mais fino (escala logarítmica)") + "\n";
        // sem arredondar a escala às décadas: 225 a 1e6 não vira 1e2 a 1e7
        gp += "set autoscale xfix\nset offsets graph 0.05, graph 0.05, 0, 0\n";
        return e;
    }
    // eixo de inteiros (nitm, pre, ...): uma marca por valor, até vinte
    double menor = 0, maior = 0;
    bool inteiros = !t.x.empty();
    for (std::size_t i = 0; i < t.x.size(); ++i) {
        inteiros = inteiros && t.x[i] == std::floor(t.x[i]);
        menor = i ? std::min(menor, t.x[i]) : t.x[i];
        maior = i ? std::max(maior, t.x[i]) : t.x[i];
    }
    if (inteiros && maior - menor <= 20) gp += "set xtics 1\n";
    // valores positivos que atravessam duas décadas ou mais (eps de 1 a 1e-4, C de 1 a 1e6): escala logarítmica
    if (menor > 0.0 && maior >= 100.0 * menor) gp += "set logscale x\nset format x '%g'\n";
    gp += "set offsets graph 0.03, graph 0.03, 0, 0\nset xlabel " + texto_gp(e.nome) + " noenhanced\n";
    return e;
}



legenda legenda_fatorada(const std::vector<curva_estudo>& curvas, const std::vector<serie_estudo>& series,
                         bool categorias, figura_estudo figura) {
    legenda l;
    std::vector<bool> com_cor(series.size(), false);
    std::vector<int> quantidades;
    for (const curva_estudo& c : curvas)
        if (c.series.size() == 1 || categorias) {
            for (std::size_t s : c.series) com_cor[s] = true;
            if (std::find(quantidades.begin(), quantidades.end(), c.coluna) == quantidades.end())
                quantidades.push_back(c.coluna);
        }
    for (std::size_t s = 0; s < series.size(); ++s)
        if (com_cor[s]) {
            l.extras += ", \\\n     keyentry " + std::string(categorias ? "with points pt 7 ps 0.8 " : "with linespoints pt 7 ps 0.8 lw 2 ") +
                        cor_da_serie(s) + " title " + texto_gp(series[s].rotulo);
            l.entradas.push_back(series[s].rotulo);
        }
    std::sort(quantidades.begin(), quantidades.end());
    for (int q : quantidades) {
        bool barra = false; // em categorias, uma curva fundida é um ponto com a barra das suas séries
        for (const curva_estudo& c : curvas) barra = barra || (categorias && c.coluna == q && c.series.size() > 1);
        const std::string nome = barra ? quantidade_da_coluna(curvas, q) + " (barra: séries iguais)"
                                       : titulo_da_quantidade(quantidade_da_coluna(curvas, q));
        l.extras += ", \\\n     keyentry " + estilo(q, categorias, figura) + "lc rgb 'black' title " + texto_gp(nome);
        l.entradas.push_back(nome);
    }
    // fora das categorias, uma curva fundida tem a sua entrada, no fim: a quantidade e as séries que ela vale
    for (const curva_estudo& c : curvas)
        if (!categorias && c.series.size() > 1) {
            const std::string nome = titulo_da_quantidade(c.quantidade) + ": " + c.rotulo;
            l.extras += ", \\\n     keyentry " + estilo(c.coluna, categorias, figura) + cor_da_serie(c.series.front()) + " title " +
                        texto_gp(nome);
            l.entradas.push_back(nome);
        }
    return l;
}

std::string curvas_da_figura(const tabela_estudo& t, const eixo_x& e, const pedido_figura& p, legenda& l) {
    const std::size_t n = t.series_eixo.size();
    std::string gp;
    const auto curva = [&](std::size_t s, const curva_estudo& c, const std::string& titulo) {
        const std::string x = e.categorias ? "($1+" + numero_gp(deslocamento(s, n)) + ")" : "1";
        const std::string y = std::to_string(c.coluna);
        const std::string usar = p.barras ? x + ":" + y + ":" + std::to_string(col_cpu_min) + ":" +
                                                std::to_string(col_cpu_max) : x + ":" + y;
        std::string como = estilo(c.coluna, e.categorias, p.figura);
        if (p.barras) como = e.categorias ? "with yerrorbars pt 7 ps 0.8 lw 1.5 " : "with yerrorlines pt 7 ps 0.8 lw 2 ";
        gp += (gp.empty() ? "" : ", \\\n     ") + std::string("dados_estudo index ") + std::to_string(s) + " using " +
              usar + " " + como + cor_da_serie(s) + (titulo.empty() ? " notitle" : " title " + texto_gp(titulo));
    };
    for (const curva_estudo& c : *p.curvas) {
        if (e.categorias && c.series.size() > 1 && !p.barras) {
            // séries iguais: um ponto só, em preto, com uma barra horizontal sobre as posições das séries que ele vale
            double menor = deslocamento(c.series.front(), n), maior = menor;
            for (std::size_t s : c.series) {
                menor = std::min(menor, deslocamento(s, n));
                maior = std::max(maior, deslocamento(s, n));
            }
            const std::string titulo = p.fatorada ? std::string() : c.rotulo;
            if (!titulo.empty()) l.entradas.push_back(titulo);
            gp += (gp.empty() ? "" : ", \\\n     ") + std::string("dados_estudo index ") +
                  std::to_string(c.series.front()) + " using ($1+" + numero_gp(0.5 * (menor + maior)) + "):" +
                  std::to_string(c.coluna) + ":($1+" + numero_gp(menor - 0.03) + "):($1+" + numero_gp(maior + 0.03) +
                  ") with xerrorbars " + marcador(c.coluna) + " lw 1.5 lc rgb 'black' " +
                  (titulo.empty() ? "notitle" : "title " + texto_gp(titulo));
            continue;
        }
        if (e.categorias) {
            for (std::size_t s : c.series) {
                std::string titulo;
                if (!p.fatorada) titulo = n <= 1 ? titulo_da_quantidade(c.quantidade) : t.series_eixo[s].rotulo;
                if (!titulo.empty()) l.entradas.push_back(titulo);
                curva(s, c, titulo);
            }
            continue;
        }
        std::string titulo;
        if (!p.fatorada) titulo = c.rotulo.empty() ? titulo_da_quantidade(c.quantidade) : c.rotulo;
        if (!titulo.empty()) l.entradas.push_back(titulo);
        curva(c.series.front(), c, titulo);
    }
    return gp;
}

