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
};

arquivos_estudo arquivos(const std::string& p) {
    return {p + "-estudo.dat", p + "-erro-h.dat", p + ".gp", p + "-fator.svg", p + "-tempo.svg", p + "-erro-h.svg"};
}

std::string roteiro(const tabela_estudo& t, const arquivos_estudo& a) {
    const bool grade = !t.series_grade.empty();
    const std::string eixo = t.eixo.empty() ? std::string("rodada") : t.eixo;
    std::string gp = "# gráficos do estudo do placa: gnuplot " + texto_gp(nome_para_programa(a.roteiro)) + "\n";
    gp += variavel("dados_estudo", a.dados) + variavel("figura_fator", a.fator) + variavel("figura_tempo", a.tempo);
    if (grade) gp += variavel("dados_erro_h", a.dados_h) + variavel("figura_erro_h", a.erro_h);
    gp += "set encoding utf8\nset terminal svg size 800,600 dynamic font 'Sans,12' background rgb 'white'\n";
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
    gp += "set output figura_fator\n" + margem(2 * t.series_eixo.size()) + titulo("Fator por ciclo medido e previsto") +
          "set ylabel " + texto_gp("fator por ciclo (escala logarítmica)") + "\nplot ";
    for (std::size_t i = 0; i < t.series_eixo.size(); ++i) {
        const std::string r = t.series_eixo[i].rotulo.empty() ? "" : " (" + t.series_eixo[i].rotulo + ")";
        gp += (i ? ", \\\n     " : "") + std::string("dados_estudo index ") + std::to_string(i) +
              " using 1:2 with linespoints pt 7 ps 0.7 lw 2 " + cor(i) + " title " + texto_gp("q medido" + r) +
              ", \\\n     '' index " + std::to_string(i) + " using 1:3 with linespoints pt 6 ps 0.7 dt 2 lw 1.5 " +
              cor(i) + " title " + texto_gp("rho LFA" + r);
    }
    gp += "\nset output figura_tempo\n" + margem(t.series_eixo.size()) + titulo("Tempo de CPU") + "set ylabel " +
          texto_gp("CPU da solução, s (escala logarítmica)") + "\nplot ";
    for (std::size_t i = 0; i < t.series_eixo.size(); ++i)
        gp += (i ? ", \\\n     " : "") + std::string("dados_estudo index ") + std::to_string(i) +
              " using 1:4 with linespoints pt 7 ps 0.7 lw 2 " + cor(i) + " title " +
              texto_gp(t.series_eixo[i].rotulo.empty() ? "CPU" : t.series_eixo[i].rotulo);
    gp += "\n";
    if (grade) {
        // erro contra h: a reta C h^2 passa pelo ponto mais fino da primeira série
        double hmin = 0, hmax = 0, h0 = 0, e0 = 0;
        for (const linha_estudo& l : t.linhas)
            if (l.h > 0) {
                hmax = std::max(hmax, l.h);
                hmin = hmin == 0 ? l.h : std::min(hmin, l.h);
            }
        for (std::size_t i : t.series_grade.front().linhas)
            if (t.linhas[i].h > 0 && (h0 == 0 || t.linhas[i].h < h0)) h0 = t.linhas[i].h, e0 = t.linhas[i].erro_discretizacao_max;
        gp += "set output figura_erro_h\n" + margem(t.series_grade.size() + 1) +
              "unset xtics\nset xtics auto\nset offsets 0, 0, 0, 0\nset logscale xy\n"
              "set format x '%g'\nset xrange [" + g(hmin / 1.3) + ":" + g(hmax * 1.3) + "]\n" +
              "set title " + texto_gp("Erro de discretização contra h") + ".\"\\n\"." + texto_gp("estudo de " + t.resumo) +
              " noenhanced\nset xlabel " + texto_gp("h, espaçamento do nível mais fino (escala logarítmica)") +
              "\nset ylabel " + texto_gp("max |T discreta - T exata| (escala logarítmica)") + "\nplot ";
        for (std::size_t i = 0; i < t.series_grade.size(); ++i) {
            const serie_estudo& s = t.series_grade[i];
            gp += (i ? ", \\\n     " : "") + std::string("dados_erro_h index ") + std::to_string(i) +
                  " using 1:2 with linespoints pt 7 ps 0.7 lw 2 " + cor(i) + " title " +
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

std::vector<std::string> arquivos_de_graficos_estudo(const std::string& prefixo) {
    const arquivos_estudo a = arquivos(prefixo);
    return {a.dados, a.dados_h, a.roteiro, a.fator, a.tempo, a.erro_h};
}

bool desenhar_graficos_estudo(const tabela_estudo& t, const std::string& prefixo, conjunto_saidas& saidas) {
    const arquivos_estudo a = arquivos(prefixo);
    const auto com_nome = tipo_temporario::com_nome;
    const bool grade = !t.series_grade.empty();
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
    }, com_nome);
    if (grade)
        saidas.preparar(a.dados_h, "--plot", [&](saida_texto& s) {
            s.bruto("# h erro_discretizacao_max, um bloco por série\n");
            for (const serie_estudo& x : t.series_grade) {
                s.bruto("# " + (x.rotulo.empty() ? std::string("todas") : x.rotulo) + "\n");
                for (std::size_t i : ordenadas(x.linhas, menos_h))
                    s.bruto(g(t.linhas[i].h) + " " + g(t.linhas[i].erro_discretizacao_max) + "\n");
                s.bruto("\n\n");
            }
        }, com_nome);
    saidas.preparar(a.roteiro, "--plot", [&](saida_texto& s) { s.bruto(roteiro(t, a)); }, com_nome);

    conjunto_saidas figuras;
    std::vector<std::pair<std::string, std::string>> v{{"dados_estudo", saidas.caminho_temporario(a.dados)},
                                                       {"figura_fator", figuras.reservar(a.fator, "--plot")},
                                                       {"figura_tempo", figuras.reservar(a.tempo, "--plot")}};
    if (grade) {
        v.emplace_back("dados_erro_h", saidas.caminho_temporario(a.dados_h));
        v.emplace_back("figura_erro_h", figuras.reservar(a.erro_h, "--plot"));
    }
    if (!executar_gnuplot(v, saidas.caminho_temporario(a.roteiro))) return false;
    saidas.juntar(std::move(figuras));
    return true;
}
