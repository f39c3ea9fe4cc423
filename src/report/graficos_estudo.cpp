// Gráficos de um estudo pelo gnuplot: fator medido e previsto e tempo de CPU contra o parâmetro do eixo, e o erro de
// discretização contra h em escala log-log com a inclinação observada. Dados e roteiro ficam ao lado das figuras;
// todo texto vindo de fora entra no roteiro como cadeia entre apóstrofos, inerte.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "report/listagem.h"

namespace {

const char* const cores[] = {"#31688e", "#e07b00", "#35b779", "#b5282b", "#440154", "#8e6c00", "#1f9e89", "#7f7f7f"};

std::string g(double v) {
    if (!std::isfinite(v)) return "?";
    char b[40];
    std::snprintf(b, sizeof b, "%.9g", v);
    return b;
}

std::string cor(std::size_t i) { return std::string("lc rgb '") + cores[i % 8] + "'"; }

std::string variavel(const char* nome, const std::string& valor) {
    return std::string("if (!exists(") + texto_gp(nome) + ")) " + nome + " = " + texto_gp(nome_para_programa(valor)) +
           "\n";
}

// Linhas de uma série em ordem de x (de h decrescente, no erro contra h).
std::vector<std::size_t> ordenadas(const std::vector<std::size_t>& linhas, const std::vector<double>& chave) {
    std::vector<std::size_t> v = linhas;
    std::stable_sort(v.begin(), v.end(), [&](std::size_t a, std::size_t b) { return chave[a] < chave[b]; });
    return v;
}

struct arquivos_estudo {
    std::string dados, dados_h, roteiro, fator, tempo, erro_h;
    formato_figura formato;
};

arquivos_estudo arquivos(const std::string& p, formato_figura f) {
    const std::string x = std::string(".") + nome_do_formato(f);
    return {p + "-estudo.dat", p + "-erro-h.dat", p + ".gp", p + "-fator" + x, p + "-tempo" + x, p + "-erro-h" + x, f};
}

// Uma curva de um gráfico: o bloco (a série) no arquivo de dados, a coluna e o título.
struct curva {
    std::size_t bloco;
    int coluna;
    std::string titulo;
};

// As curvas de cada figura: só as séries com dois valores positivos e finitos (as escalas são logarítmicas); uma
// figura sem curva não é desenhada. As notas dizem o que ficou de fora e por quê.
struct plano_estudo {
    std::vector<curva> fator, tempo, erro_h;
    std::vector<std::string> notas;
};

// Por que os valores de uma série não dão uma curva numa escala logarítmica; vazio quando dão.
std::string degenerada(const std::vector<double>& v) {
    std::size_t finitos = 0, positivos = 0;
    for (double x : v) finitos += std::isfinite(x), positivos += std::isfinite(x) && x > 0.0;
    if (finitos == 0) return "it has no value";
    if (positivos == 0) return "all its values are 0";
    if (positivos == 1) return v.size() == 1 ? "it has a single point" : "only one of its values is above 0";
    return {};
}

// As curvas de uma figura, uma por série e por coluna pedida (valor de cada linha por `valor`).
void curvas(std::vector<curva>& saida, const std::vector<serie_estudo>& series, int coluna, const std::string& quantidade,
            const std::string& figura, const std::vector<linha_estudo>& linhas, double (*valor)(const linha_estudo&),
            std::vector<std::string>& notas) {
    for (std::size_t i = 0; i < series.size(); ++i) {
        std::vector<double> v;
        for (std::size_t l : series[i].linhas) v.push_back(valor(linhas[l]));
        const std::string r = series[i].rotulo.empty() ? "" : " (" + series[i].rotulo + ")";
        if (const std::string porque = degenerada(v); !porque.empty())
            notas.push_back("note: --plot " + figura + " leaves out the curve '" + quantidade + r + "': " + porque +
                            " (a logarithmic scale cannot show it)");
        else saida.push_back({i, coluna, quantidade + r});
    }
}

plano_estudo planejar(const tabela_estudo& t, const arquivos_estudo& a) {
    plano_estudo p;
    curvas(p.fator, t.series_eixo, 2, "q medido", a.fator, t.linhas, [](const linha_estudo& l) { return l.q_assintotico; }, p.notas);
    curvas(p.fator, t.series_eixo, 3, "rho LFA", a.fator, t.linhas, [](const linha_estudo& l) { return l.rho_lfa; }, p.notas);
    std::stable_sort(p.fator.begin(), p.fator.end(), [](const curva& x, const curva& y) { return x.bloco < y.bloco; });
    curvas(p.tempo, t.series_eixo, 4, "CPU", a.tempo, t.linhas, [](const linha_estudo& l) { return l.cpu_s; }, p.notas);
    curvas(p.erro_h, t.series_grade, 2, "erro de discretização", a.erro_h, t.linhas,
           [](const linha_estudo& l) { return l.erro_discretizacao_max; }, p.notas);
    const auto sem_figura = [&](const std::string& figura) {
        p.notas.push_back("note: --plot " + figura + " is not drawn: no series has two values above 0");
    };
    if (p.fator.empty()) sem_figura(a.fator);
    if (p.tempo.empty()) sem_figura(a.tempo);
    if (p.erro_h.empty() && !t.series_grade.empty()) sem_figura(a.erro_h);
    return p;
}

std::string roteiro(const tabela_estudo& t, const arquivos_estudo& a, const plano_estudo& p) {
    const std::string eixo = t.eixo.empty() ? std::string("rodada") : t.eixo;
    std::string gp = "# gráficos do estudo do placa: gnuplot " + texto_gp(nome_para_programa(a.roteiro)) + "\n";
    gp += variavel("dados_estudo", a.dados);
    if (!p.fator.empty()) gp += variavel("figura_fator", a.fator);
    if (!p.tempo.empty()) gp += variavel("figura_tempo", a.tempo);
    if (!p.erro_h.empty()) gp += variavel("dados_erro_h", a.dados_h) + variavel("figura_erro_h", a.erro_h);
    gp += terminal_do_roteiro(a.formato);
    // a legenda fica embaixo, em até duas colunas; a margem de baixo cresce com as suas linhas
    const auto margem = [](std::size_t entradas) { return "set bmargin " + std::to_string(5 + (entradas + 1) / 2) + "\n"; };
    gp += "set grid xtics ytics lc rgb '#dddddd'\nset key outside below center box noenhanced maxcols 2\n"
          "set datafile missing '?'\n";
    gp += "set xlabel " + texto_gp(eixo) + " noenhanced\nset logscale y\nset format y '%g'\n";
    if (!t.rotulos_x.empty()) {
        gp += "set xtics (";
        for (std::size_t i = 0; i < t.rotulos_x.size(); ++i)
            gp += (i ? ", " : "") + texto_gp(t.rotulos_x[i]) + " " + std::to_string(i + 1);
        gp += ") noenhanced\nset xrange [0.5:" + g(static_cast<double>(t.rotulos_x.size()) + 0.5) + "]\n";
    } else {
        // eixo de inteiros (nm, nitm, ...): uma marca por valor, até vinte
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
        gp += "set offsets graph 0.03, graph 0.03, 0, 0\n";
    }
    const auto titulo = [&](const std::string& o_que) {
        return "set title " + texto_gp(o_que + " contra " + eixo) + ".\"\\n\"." + texto_gp("estudo de " + t.resumo) +
               " noenhanced\n";
    };
    // fator: medido (cheio) e previsto (tracejado) de cada série, na mesma cor
    if (!p.fator.empty()) {
        gp += "set output figura_fator\n" + margem(p.fator.size()) + titulo("Fator por ciclo medido e previsto") +
              "set ylabel " + texto_gp("fator por ciclo (escala logarítmica)") + "\nplot ";
        for (std::size_t i = 0; i < p.fator.size(); ++i) {
            const curva& c = p.fator[i];
            gp += (i ? ", \\\n     " : "") + std::string("dados_estudo index ") + std::to_string(c.bloco) + " using 1:" +
                  std::to_string(c.coluna) +
                  (c.coluna == 2 ? " with linespoints pt 7 ps 0.7 lw 2 " : " with linespoints pt 6 ps 0.7 dt 2 lw 1.5 ") +
                  cor(c.bloco) + " title " + texto_gp(c.titulo);
        }
        gp += "\n";
    }
    if (!p.tempo.empty()) {
        gp += "set output figura_tempo\n" + margem(p.tempo.size()) + titulo("Tempo de CPU") + "set ylabel " +
              texto_gp("CPU da solução, s (escala logarítmica)") + "\nplot ";
        for (std::size_t i = 0; i < p.tempo.size(); ++i) {
            const serie_estudo& s = t.series_eixo[p.tempo[i].bloco];
            gp += (i ? ", \\\n     " : "") + std::string("dados_estudo index ") + std::to_string(p.tempo[i].bloco) +
                  " using 1:4 with linespoints pt 7 ps 0.7 lw 2 " + cor(p.tempo[i].bloco) + " title " +
                  texto_gp(s.rotulo.empty() ? "CPU" : s.rotulo);
        }
        gp += "\n";
    }
    if (!p.erro_h.empty()) {
        // erro contra h: a reta C h^2 passa pelo ponto mais fino da primeira série desenhada
        double hmin = 0, hmax = 0, h0 = 0, e0 = 0;
        for (const linha_estudo& l : t.linhas)
            if (l.h > 0) {
                hmax = std::max(hmax, l.h);
                hmin = hmin == 0 ? l.h : std::min(hmin, l.h);
            }
        for (std::size_t i : t.series_grade[p.erro_h.front().bloco].linhas)
            if (t.linhas[i].h > 0 && t.linhas[i].erro_discretizacao_max > 0 && (h0 == 0 || t.linhas[i].h < h0))
                h0 = t.linhas[i].h, e0 = t.linhas[i].erro_discretizacao_max;
        gp += "set output figura_erro_h\n" + margem(p.erro_h.size() + 1) +
              "unset xtics\nset xtics auto\nset offsets 0, 0, 0, 0\nset logscale xy\n"
              "set format x '%g'\nset xrange [" + g(hmin / 1.3) + ":" + g(hmax * 1.3) + "]\n" +
              "set title " + texto_gp("Erro de discretização contra h") + ".\"\\n\"." + texto_gp("estudo de " + t.resumo) +
              " noenhanced\nset xlabel " + texto_gp("h, espaçamento do nível mais fino (escala logarítmica)") +
              "\nset ylabel " + texto_gp("max |T discreta - T exata| (escala logarítmica)") + "\nplot ";
        for (std::size_t i = 0; i < p.erro_h.size(); ++i) {
            const serie_estudo& s = t.series_grade[p.erro_h[i].bloco];
            gp += (i ? ", \\\n     " : "") + std::string("dados_erro_h index ") + std::to_string(p.erro_h[i].bloco) +
                  " using 1:2 with linespoints pt 7 ps 0.7 lw 2 " + cor(p.erro_h[i].bloco) + " title " +
                  texto_gp((s.rotulo.empty() ? "" : s.rotulo + ": ") + "inclinação observada " + cifra(s.inclinacao, 2));
        }
        if (h0 > 0 && e0 > 0)
            gp += ", \\\n     " + g(e0 / (h0 * h0)) + "*x**2 with lines dt 3 lw 1.5 lc rgb '#555555' title " +
                  texto_gp("C h^2 (ordem 2)");
        gp += "\n";
    }
    return gp + "set output\n";
}

} // namespace

std::vector<std::string> arquivos_de_graficos_estudo(const std::string& prefixo, formato_figura formato) {
    const arquivos_estudo a = arquivos(prefixo, formato);
    return {a.dados, a.dados_h, a.roteiro, a.fator, a.tempo, a.erro_h};
}

resultado_gnuplot desenhar_graficos_estudo(const tabela_estudo& t, const std::string& prefixo, formato_figura formato,
                                           conjunto_saidas& saidas, std::vector<std::string>& notas) {
    const arquivos_estudo a = arquivos(prefixo, formato);
    const auto para_gnuplot = tipo_temporario::para_outro_programa;
    const plano_estudo p = planejar(t, a);
    notas.insert(notas.end(), p.notas.begin(), p.notas.end());
    std::vector<double> menos_h;
    for (const linha_estudo& l : t.linhas) menos_h.push_back(-l.h);
    saidas.preparar(a.dados, "--plot", [&](saida_texto& s) {
        s.bruto("# x q_assintotico rho_lfa cpu_s, um bloco por série\n");
        for (const serie_estudo& x : t.series_eixo) {
            s.bruto("# " + (x.rotulo.empty() ? std::string("todas") : x.rotulo) + "\n");
            for (std::size_t i : ordenadas(x.linhas, t.x)) {
                const linha_estudo& l = t.linhas[i];
                s.bruto(g(t.x[i]) + " " + g(l.q_assintotico) + " " + g(l.rho_lfa) + " " + g(l.cpu_s) + "\n");
            }
            s.bruto("\n\n");
        }
    }, para_gnuplot);
    if (!t.series_grade.empty())
        saidas.preparar(a.dados_h, "--plot", [&](saida_texto& s) {
            s.bruto("# h erro_discretizacao_max, um bloco por série\n");
            for (const serie_estudo& x : t.series_grade) {
                s.bruto("# " + (x.rotulo.empty() ? std::string("todas") : x.rotulo) + "\n");
                for (std::size_t i : ordenadas(x.linhas, menos_h))
                    s.bruto(g(t.linhas[i].h) + " " + g(t.linhas[i].erro_discretizacao_max) + "\n");
                s.bruto("\n\n");
            }
        }, para_gnuplot);
    saidas.preparar(a.roteiro, "--plot", [&](saida_texto& s) { s.bruto(roteiro(t, a, p)); }, para_gnuplot);
    if (p.fator.empty() && p.tempo.empty() && p.erro_h.empty()) return resultado_gnuplot::desenhou; // nada a desenhar

    conjunto_saidas figuras;
    std::vector<std::pair<std::string, std::string>> v{{"dados_estudo", saidas.caminho_temporario(a.dados)}};
    if (!p.fator.empty()) v.emplace_back("figura_fator", figuras.reservar(a.fator, "--plot"));
    if (!p.tempo.empty()) v.emplace_back("figura_tempo", figuras.reservar(a.tempo, "--plot"));
    if (!p.erro_h.empty()) {
        v.emplace_back("dados_erro_h", saidas.caminho_temporario(a.dados_h));
        v.emplace_back("figura_erro_h", figuras.reservar(a.erro_h, "--plot"));
    }
    const resultado_gnuplot r = executar_gnuplot(v, saidas.caminho_temporario(a.roteiro), a.roteiro);
    if (r == resultado_gnuplot::desenhou) saidas.juntar(std::move(figuras));
    return r;
}
