// Gráficos SVG pelo gnuplot: os dados e o roteiro ficam ao lado das figuras, para refazê-las à mão.
#include <cmath>
#include <cstdio>

#include "platform/plataforma.h"
#include "report/listagem.h"
#include "run/erro_fatal.h"

namespace {

constexpr int max_pixels = 256; // lado máximo do mapa de calor

// Texto entre aspas duplas do gnuplot.
std::string entre_aspas(const std::string& s) {
    std::string r = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') r += '\\';
        r += c;
    }
    return r + "\"";
}

// Nome de arquivo entre apóstrofos do gnuplot ('' é um apóstrofo).
std::string nome_gp(const std::string& s) {
    std::string r = "'";
    for (char c : s) r += c == '\'' ? std::string("''") : std::string(1, c);
    return r + "'";
}

std::string g(double v) {
    char b[40];
    std::snprintf(b, sizeof b, "%.9g", v);
    return b;
}

// Passo de amostragem do mapa: de preferência uma potência de 2 que divida os dois lados,
// para que a última linha e a última coluna entrem.
int passo_mapa(int nx, int ny) {
    const int lado = nx > ny ? nx : ny;
    int quer = (lado - 1 + max_pixels - 1) / max_pixels;
    if (quer < 1) quer = 1;
    for (int s = 1; s < lado; s *= 2)
        if (s >= quer && (nx - 1) % s == 0 && (ny - 1) % s == 0) return s;
    return quer;
}

} // namespace

bool desenhar_graficos(const estado_execucao& e, const std::string& prefixo) {
    const std::string conv = prefixo + "-convergencia", campo = prefixo + "-campo", roteiro = prefixo + ".gp";

    std::string d = "# iteracao L1(R)i/L1(R)o\n0 1\n";
    for (long long it = 1; it <= e.niter; ++it) {
        const double r = e.hist[it] / e.hist[0];
        d += std::to_string(it) + " " + (std::isfinite(r) && r > 0 ? g(r) : std::string("?")) + "\n";
    }
    gravar_atomico(conv + ".dat", d, "--plot data");

    const int s = passo_mapa(e.nxk, e.nyk);
    std::string m = "# x y T\n";
    for (int j = 1; j <= e.nyk; j += s) {
        for (int i = 1; i <= e.nxk; i += s)
            m += g((i - 1) * e.dx) + " " + g((j - 1) * e.dy) + " " + g(e.T[i + (j - 1L) * e.nxk]) + "\n";
        m += "\n";
    }
    gravar_atomico(campo + ".dat", m, "--plot data");

    const std::string caso = utf8(texto_simples(e.caso));
    std::string gp;
    gp += "# gráficos do placa: gnuplot " + nome_gp(roteiro) + "\n";
    gp += "set encoding utf8\n";
    gp += "set terminal svg size 800,600 dynamic font 'Sans,12' background rgb 'white'\n";
    gp += "set output " + nome_gp(conv + ".svg") + "\n";
    gp += "set title " + entre_aspas("Convergência: " + caso) + " noenhanced\n";
    gp += "set xlabel " + entre_aspas("Iteração") + "\n";
    gp += "set ylabel " + entre_aspas("L1(R)i/L1(R)o") + " noenhanced\n";
    gp += "set logscale y\nset format y '10^{%L}'\nset grid\nset key top right\n";
    gp += "plot " + nome_gp(conv + ".dat") + " using 1:2 with linespoints pt 7 ps 0.6 lw 1.5 title " +
          entre_aspas("L1(R)i/L1(R)o") + " noenhanced\n";
    gp += "set output " + nome_gp(campo + ".svg") + "\n";
    gp += "unset logscale y\nset format y '%g'\nunset grid\n";
    gp += "set title " + entre_aspas("Campo de temperaturas T: " + caso) + " noenhanced\n";
    gp += "set xlabel 'x'\nset ylabel 'y'\nset cblabel 'T'\n";
    gp += "set format x '%.1f'\nset format y '%.1f'\nset tics out\n";
    gp += "set size ratio -1\nset autoscale xfix\nset autoscale yfix\nset palette rgbformulae 33,13,10\n";
    gp += "plot " + nome_gp(campo + ".dat") + " using 1:2:3 with image notitle\n";
    gp += "set output\n";
    gravar_atomico(roteiro, gp, "--plot script");

    const int r = executar_programa({"gnuplot", roteiro});
    if (r == -1) return false;
    if (r != 0) throw erro_fatal("gnuplot failed (exit status " + std::to_string(r) + ") on " + roteiro);
    return true;
}
