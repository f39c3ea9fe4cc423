// Gráficos SVG pelo gnuplot: os dados e o roteiro ficam ao lado das figuras, para refazê-las à mão.
#include <cmath>
#include <cstdio>

#include "platform/plataforma.h"
#include "report/listagem.h"
#include "run/erro_fatal.h"

namespace {

constexpr int max_pixels = 256; // lado máximo do mapa de calor

// Texto gnuplot entre apóstrofos ('' é um apóstrofo): nada nele é expandido, nem crases. Textos com caracteres
// de controle não chegam aqui (recusados antes da solução).
std::string texto_gp(const std::string& s) {
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

arquivos_graficos arquivos_de_graficos(const std::string& prefixo) {
    return {prefixo + "-convergencia.dat", prefixo + "-campo.dat", prefixo + ".gp", prefixo + "-convergencia.svg",
            prefixo + "-campo.svg"};
}

// O roteiro lê os nomes dos arquivos de variáveis que a linha de comando pode dar (assim o placa desenha a partir
// dos temporários); sem elas, os nomes de sempre, ao lado do roteiro.
bool desenhar_graficos(const estado_execucao& e, const std::string& prefixo, conjunto_saidas& saidas) {
    const arquivos_graficos a = arquivos_de_graficos(prefixo);
    const auto variavel = [](const char* nome, const std::string& valor) {
        return std::string("if (!exists(") + texto_gp(nome) + ")) " + nome + " = " +
               texto_gp(nome_para_programa(valor)) + "\n";
    };

    saidas.preparar(a.dados_convergencia, "--plot", [&](saida_texto& s) {
        s.bruto("# iteracao L1(R)i/L1(R)o\n0 1\n");
        for (long long it = 1; it <= e.niter; ++it) {
            const double r = e.hist[it] / e.hist[0];
            s.bruto(std::to_string(it) + " " + (std::isfinite(r) && r > 0 ? g(r) : std::string("?")) + "\n");
        }
    }, tipo_temporario::com_nome);
    const std::string temp_conv = saidas.caminho_temporario(a.dados_convergencia);

    const int passo = passo_mapa(e.nxk, e.nyk);
    saidas.preparar(a.dados_campo, "--plot", [&](saida_texto& s) {
        s.bruto("# x y T\n");
        for (int j = 1; j <= e.nyk; j += passo) {
            for (int i = 1; i <= e.nxk; i += passo)
                s.bruto(g((i - 1) * e.dx) + " " + g((j - 1) * e.dy) + " " + g(e.T[i + (j - 1L) * e.nxk]) + "\n");
            s.bruto("\n");
        }
    }, tipo_temporario::com_nome);
    const std::string temp_campo = saidas.caminho_temporario(a.dados_campo);

    const std::string caso = utf8(texto_simples(e.caso));
    std::string gp;
    gp += "# gráficos do placa: gnuplot " + texto_gp(nome_para_programa(a.roteiro)) + "\n";
    gp += variavel("dados_convergencia", a.dados_convergencia) + variavel("dados_campo", a.dados_campo);
    gp += variavel("figura_convergencia", a.figura_convergencia) + variavel("figura_campo", a.figura_campo);
    gp += "set encoding utf8\n";
    gp += "set terminal svg size 800,600 dynamic font 'Sans,12' background rgb 'white'\n";
    gp += "set output figura_convergencia\n";
    gp += "set title " + texto_gp("Convergência: " + caso) + " noenhanced\n";
    gp += "set xlabel " + texto_gp("Iteração") + "\n";
    gp += "set ylabel " + texto_gp("L1(R)i/L1(R)o") + " noenhanced\n";
    gp += "set logscale y\nset format y '10^{%L}'\nset grid\nset key top right\n";
    gp += "plot dados_convergencia using 1:2 with linespoints pt 7 ps 0.6 lw 1.5 title " +
          texto_gp("L1(R)i/L1(R)o") + " noenhanced\n";
    gp += "set output figura_campo\n";
    gp += "unset logscale y\nset format y '%g'\nunset grid\n";
    gp += "set title " + texto_gp("Campo de temperaturas T: " + caso) + " noenhanced\n";
    gp += "set xlabel 'x'\nset ylabel 'y'\nset cblabel 'T'\n";
    gp += "set format x '%.1f'\nset format y '%.1f'\nset tics out\n";
    gp += "set size ratio -1\nset autoscale xfix\nset autoscale yfix\nset palette rgbformulae 33,13,10\n";
    gp += "plot dados_campo using 1:2:3 with image notitle\n";
    gp += "set output\n";
    saidas.preparar(a.roteiro, "--plot", [&](saida_texto& s) { s.bruto(gp); }, tipo_temporario::com_nome);
    const std::string temp_roteiro = saidas.caminho_temporario(a.roteiro);

    // as figuras só entram nas saídas se o gnuplot as desenhar
    conjunto_saidas figuras;
    const std::string temp_fig_conv = figuras.reservar(a.figura_convergencia, "--plot");
    const std::string temp_fig_campo = figuras.reservar(a.figura_campo, "--plot");
    const std::string comandos = "dados_convergencia = " + texto_gp(nome_para_programa(temp_conv)) +
                                 "; dados_campo = " + texto_gp(nome_para_programa(temp_campo)) +
                                 "; figura_convergencia = " + texto_gp(nome_para_programa(temp_fig_conv)) +
                                 "; figura_campo = " + texto_gp(nome_para_programa(temp_fig_campo));
    std::string erros;
    const int r = executar_programa({"gnuplot", "-e", comandos, nome_para_programa(temp_roteiro)}, &erros);
    if (r == -1) return false;
    if (r != 0) {
        const std::string primeira = erros.substr(0, erros.find('\n'));
        throw erro_fatal("gnuplot failed (exit status " + std::to_string(r) + ") drawing the --plot figures" +
                         (primeira.empty() ? std::string() : ": " + primeira));
    }
    saidas.juntar(std::move(figuras));
    return true;
}
