// Gráficos de um estudo pelo gnuplot: fator medido e previsto e tempo de CPU contra o parâmetro do eixo, e o erro de
// discretização contra h em escala log-log com a inclinação observada. Com um eixo de grade o tempo ganha a reta
// O(N), e com --repeat as barras do menor ao maior tempo; a legenda fica embaixo, fora dos dados, e o título diz o
// que ficou fixo. Dados e roteiro ficam ao lado das figuras; todo texto vindo de fora entra no roteiro como cadeia
// entre apóstrofos, inerte.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "report/graficos_estudo.h"

namespace {

// O x de uma linha nos gráficos do fator e do tempo: N com o eixo de grade, senão o valor (ou a posição do rótulo).
double x_de(const tabela_estudo& t, std::size_t l) { return t.eixo_de_grade ? t.linhas[l].incognitas : t.x[l]; }

// Linhas de uma série em ordem de `chave`.
std::vector<std::size_t> ordenadas(const std::vector<std::size_t>& linhas, const std::vector<double>& chave) {
    std::vector<std::size_t> v = linhas;
    std::stable_sort(v.begin(), v.end(), [&](std::size_t a, std::size_t b) { return chave[a] < chave[b]; });
    return v;
}

arquivos_estudo arquivos(const std::string& p, formato_figura f) {
    const std::string x = std::string(".") + nome_do_formato(f);
    return {p + "-estudo.dat", p + "-erro-h.dat", p + ".gp", p + "-fator" + x, p + "-tempo" + x, p + "-erro-h" + x, f,
            p + "-lfa" + x};
}

std::string titulo_do_estudo(const tabela_estudo& t, const std::string& o_que, const std::string& eixo) {
    std::vector<std::string> linhas{o_que + " contra " + eixo, "estudo de " + t.resumo};
    std::string fixos;
    for (const valor_parametro& f : t.fixos) fixos += (fixos.empty() ? "fixos: " : " ") + f.nome + "=" + f.valor;
    if (!fixos.empty())
        for (const std::string& x : quebrar_linha(fixos, largura_do_titulo)) linhas.push_back(x);
    return titulo_gp(linhas) + "set tmargin " + std::to_string(linhas.size() + 2) + "\n";
}

std::size_t maior(const std::vector<std::string>& v) {
    std::size_t m = 0;
    for (const std::string& s : v) m = std::max(m, s.size());
    return m;
}

// A reta O(N) do tempo, com o eixo de grade: C N pelo ponto da maior grade da primeira curva.
std::string reta_o_de_n(const tabela_estudo& t, const curva_estudo& c, legenda& l) {
    double n0 = 0, t0 = 0;
    for (std::size_t i : t.series_eixo[c.series.front()].linhas)
        if (t.linhas[i].incognitas > n0 && cpu_da_rodada(t.linhas[i]) > 0)
            n0 = t.linhas[i].incognitas, t0 = cpu_da_rodada(t.linhas[i]);
    if (!(n0 > 0)) return {};
    const std::string titulo = "O(N), pelo ponto da maior grade";
    l.entradas.push_back(titulo);
    return ", \\\n     " + numero_gp(t0 / n0) + "*x with lines dt 3 lw 1.5 lc rgb '#555555' title " + texto_gp(titulo);
}

std::string roteiro(const tabela_estudo& t, const arquivos_estudo& a, const plano_estudo& p) {
    std::string gp = "# gráficos do estudo do placa: gnuplot " + texto_gp(nome_para_programa(a.roteiro)) + "\n";
    gp += variavel_gp("dados_estudo", a.dados);
    if (!p.fator.empty()) gp += variavel_gp("figura_fator", a.fator);
    if (!p.tempo.empty()) gp += variavel_gp("figura_tempo", a.tempo);
    if (!p.teoria.empty()) gp += variavel_gp("figura_teoria", a.teoria);
    if (!p.erro_h.empty()) gp += variavel_gp("dados_erro_h", a.dados_h) + variavel_gp("figura_erro_h", a.erro_h);
    gp += terminal_do_roteiro(a.formato);
    gp += "set datafile missing '?'\nset logscale y\nset format y '%g'\n";
    const eixo_x e = preparar_eixo(t, gp);
    const bool varias = t.series_eixo.size() > 1;
    // fator: medido (cheio) e previsto (vazio, tracejado) de cada série, na mesma cor
    if (!p.fator.empty()) {
        bool duas = false;
        for (const curva_estudo& c : p.fator) duas = duas || c.coluna != p.fator.front().coluna;
        legenda l;
        const bool fatorada = varias && duas;
        if (fatorada) l = legenda_fatorada(p.fator, t.series_eixo, e.categorias);
        const std::string curvas = curvas_da_figura(t, e, {&p.fator, fatorada, false}, l);
        gp += "set output figura_fator\n" + titulo_do_estudo(t, "Fator por ciclo medido e previsto", e.nome) +
              legenda_embaixo(l.entradas.size(), maior(l.entradas)) + "set ylabel " +
              texto_gp("fator por ciclo (escala logarítmica)") + "\nplot " + curvas + l.extras + "\n";
    }
    if (!p.tempo.empty()) {
        legenda l;
        std::string curvas = curvas_da_figura(t, e, {&p.tempo, false, p.barras_de_tempo}, l);
        if (t.eixo_de_grade) curvas += reta_o_de_n(t, p.tempo.front(), l);
        gp += "set output figura_tempo\n" + titulo_do_estudo(t, "Tempo de CPU", e.nome) +
              legenda_embaixo(l.entradas.size(), maior(l.entradas)) + "set ylabel " +
              texto_gp(p.barras_de_tempo ? "CPU da solução, s (mediana; barras: menor a maior)"
                                         : "CPU da solução, s (escala logarítmica)") +
              "\nplot " + curvas + "\n";
    }
    // a teoria contra a medida, em escala linear de 0: perto de 1 (a anisotropia forte) os fatores se separam
    if (!p.teoria.empty()) {
        legenda l;
        if (varias) l = legenda_fatorada(p.teoria, t.series_eixo, e.categorias, figura_estudo::teoria);
        const std::string curvas =
            curvas_da_figura(t, e, {&p.teoria, varias, false, figura_estudo::teoria}, l);
        // de 0 a um pouco acima do maior valor, para que o marcador do maior não fique cortado na borda
        double topo = 0.0;
        for (const linha_estudo& x : t.linhas)
            for (double v : {x.q_assintotico, x.mu_lfa, x.rho_lfa, p.k_teoria >= 2 ? x.rho_lfa_k[p.k_teoria - 2] : 0.0})
                if (std::isfinite(v)) topo = std::max(topo, v);
        gp += "set output figura_teoria\n" +
              titulo_do_estudo(t, "LFA e medida: mu, rho de dois e de " + std::to_string(std::max(p.k_teoria, 2)) +
                                      " níveis, q medido", e.nome) +
              legenda_embaixo(l.entradas.size(), maior(l.entradas)) + "unset logscale y\nset yrange [0:" +
              (topo > 0.0 ? numero_gp(1.06 * topo) : std::string("*")) + "]\n" +
              "set ylabel " + texto_gp("fator por ciclo") + "\nplot " + curvas + l.extras +
              "\nset logscale y\nset yrange [*:*]\n";
    }
    if (!p.erro_h.empty()) {
        // erro contra h: a reta C h^2 passa pelo ponto mais fino da primeira série desenhada
        double hmin = 0, hmax = 0, h0 = 0, e0 = 0;
        for (const linha_estudo& l : t.linhas)
            if (l.h > 0) {
                hmax = std::max(hmax, l.h);
                hmin = hmin == 0 ? l.h : std::min(hmin, l.h);
            }
        for (std::size_t i : t.series_grade[p.erro_h.front().series.front()].linhas)
            if (t.linhas[i].h > 0 && t.linhas[i].erro_discretizacao_max > 0 && (h0 == 0 || t.linhas[i].h < h0))
                h0 = t.linhas[i].h, e0 = t.linhas[i].erro_discretizacao_max;
        std::vector<std::string> entradas;
        std::string curvas;
        for (const curva_estudo& c : p.erro_h) {
            const serie_estudo& s = t.series_grade[c.series.front()];
            entradas.push_back((s.rotulo.empty() ? "" : s.rotulo + ": ") + "inclinação observada " + cifra(s.inclinacao, 2));
            curvas += (curvas.empty() ? "" : ", \\\n     ") + std::string("dados_erro_h index ") +
                      std::to_string(c.series.front()) + " using 1:2 with linespoints pt 7 ps 0.7 lw 2 " +
                      cor_da_serie(c.series.front()) + " title " + texto_gp(entradas.back());
        }
        if (h0 > 0 && e0 > 0) {
            entradas.push_back("C h^2 (ordem 2)");
            curvas += ", \\\n     " + numero_gp(e0 / (h0 * h0)) + "*x**2 with lines dt 3 lw 1.5 lc rgb '#555555' title " +
                      texto_gp(entradas.back());
        }
        gp += "set output figura_erro_h\n" + legenda_embaixo(entradas.size(), maior(entradas)) +
              "unset xtics\nset xtics auto\nset grid xtics ytics\nset offsets 0, 0, 0, 0\nset logscale xy\n"
              "set format x '%g'\nset xrange [" + numero_gp(hmin / 1.3) + ":" + numero_gp(hmax * 1.3) + "]\n" +
              titulo_do_estudo(t, "Erro de discretização", "h") + "set xlabel " +
              texto_gp("h, espaçamento do nível mais fino (escala logarítmica)") + "\nset ylabel " +
              texto_gp("max |T discreta - T exata| (escala logarítmica)") + "\nplot " + curvas + "\n";
    }
    return gp + "set output\n";
}

} // namespace

std::vector<std::string> arquivos_de_graficos_estudo(const std::string& prefixo, formato_figura formato) {
    const arquivos_estudo a = arquivos(prefixo, formato);
    return {a.dados, a.dados_h, a.roteiro, a.fator, a.tempo, a.erro_h, a.teoria};
}

resultado_gnuplot desenhar_graficos_estudo(const tabela_estudo& t, const std::string& prefixo, formato_figura formato,
                                           conjunto_saidas& saidas, std::vector<std::string>& notas) {
    const arquivos_estudo a = arquivos(prefixo, formato);
    const auto para_gnuplot = tipo_temporario::para_outro_programa;
    const plano_estudo p = planejar_graficos_estudo(t, a);
    notas.insert(notas.end(), p.notas.begin(), p.notas.end());
    std::vector<double> x, menos_h;
    for (std::size_t l = 0; l < t.linhas.size(); ++l) {
        x.push_back(x_de(t, l));
        menos_h.push_back(-t.linhas[l].h);
    }
    saidas.preparar(a.dados, "--plot", [&](saida_texto& s) {
        s.bruto(std::string("# x q_assintotico rho_lfa cpu_s cpu_s_min cpu_s_max N mu_lfa rho_lfa_k") +
                std::to_string(std::max(p.k_teoria, 2)) + ", um bloco por série; x: " +
                (t.eixo_de_grade ? "N" : t.rotulos_x.empty() ? "o valor do eixo" : "a posição da categoria") +
                "; cpu_s: a mediana de --repeat\n");
        for (const serie_estudo& serie : t.series_eixo) {
            s.bruto("# " + (serie.rotulo.empty() ? std::string("todas") : serie.rotulo) + "\n");
            for (std::size_t i : ordenadas(serie.linhas, x)) {
                const linha_estudo& l = t.linhas[i];
                const double cpu = cpu_da_rodada(l);
                s.bruto(numero_gp(x[i]) + " " + numero_gp(l.q_assintotico) + " " + numero_gp(l.rho_lfa) + " " + numero_gp(cpu) + " " +
                        numero_gp(std::isfinite(l.cpu_min) ? l.cpu_min : cpu) + " " + numero_gp(std::isfinite(l.cpu_max) ? l.cpu_max : cpu) +
                        " " + numero_gp(l.incognitas) + " " + numero_gp(l.mu_lfa) + " " +
                        numero_gp(p.k_teoria >= 2 ? l.rho_lfa_k[p.k_teoria - 2] : sem_cifra) + "\n");
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
                    s.bruto(numero_gp(t.linhas[i].h) + " " + numero_gp(t.linhas[i].erro_discretizacao_max) + "\n");
                s.bruto("\n\n");
            }
        }, para_gnuplot);
    saidas.preparar(a.roteiro, "--plot", [&](saida_texto& s) { s.bruto(roteiro(t, a, p)); }, para_gnuplot);
    if (p.fator.empty() && p.tempo.empty() && p.erro_h.empty() && p.teoria.empty()) return resultado_gnuplot::desenhou; // nada a desenhar

    conjunto_saidas figuras;
    std::vector<std::pair<std::string, std::string>> v{{"dados_estudo", saidas.caminho_temporario(a.dados)}};
    if (!p.fator.empty()) v.emplace_back("figura_fator", figuras.reservar(a.fator, "--plot"));
    if (!p.teoria.empty()) v.emplace_back("figura_teoria", figuras.reservar(a.teoria, "--plot"));
    if (!p.tempo.empty()) v.emplace_back("figura_tempo", figuras.reservar(a.tempo, "--plot"));
    if (!p.erro_h.empty()) {
        v.emplace_back("dados_erro_h", saidas.caminho_temporario(a.dados_h));
        v.emplace_back("figura_erro_h", figuras.reservar(a.erro_h, "--plot"));
    }
    const resultado_gnuplot r = executar_gnuplot(v, saidas.caminho_temporario(a.roteiro), a.roteiro);
    if (r == resultado_gnuplot::desenhou) saidas.juntar(std::move(figuras));
    return r;
}
