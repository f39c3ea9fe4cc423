// O gnuplot: o terminal de cada formato de figura (o svg de sempre, pngcairo e pdfcairo), a conferência de que o
// gnuplot tem esse terminal, a execução sobre um roteiro e as suas mensagens. As figuras dos três formatos têm as
// mesmas proporções: 800 x 600 pontos de tela, o PNG com o dobro da resolução, o PDF em polegadas.
#include <algorithm>
#include <cmath>

#include "report/listagem.h"
#include "state/erro_fatal.h"

namespace {

// O código de saída com que o roteiro diz que o gnuplot não tem o terminal do formato.
constexpr int status_sem_terminal = 90;

struct terminal_gnuplot {
    const char* nome;    // o nome em GPVAL_TERMINALS
    const char* opcoes;  // o resto de "set terminal NOME ..."
};

terminal_gnuplot terminal_de(formato_figura f) {
    switch (f) {
    case formato_figura::png:
        return {"pngcairo", "size 1600,1200 font 'Sans,18' linewidth 2 pointscale 2 background rgb 'white'"};
    case formato_figura::pdf:
        return {"pdfcairo", "size 8.33in,6.25in font 'Sans,7' fontscale 1 background rgb 'white'"};
    case formato_figura::svg: break;
    }
    return {"svg", "size 800,600 dynamic font 'Sans,12' background rgb 'white'"};
}

} // namespace

std::string terminal_do_roteiro(formato_figura f) {
    const terminal_gnuplot t = terminal_de(f);
    const std::string nome = t.nome;
    return "set encoding utf8\n"
           "if (strstrt(' '.GPVAL_TERMINALS.' ', ' " + nome + " ') == 0) { print " +
           texto_gp("this gnuplot has no " + nome + " terminal, so it cannot draw the " + nome_do_formato(f) +
                    " figures") + "; exit status " + std::to_string(status_sem_terminal) + " }\n"
           "set terminal " + nome + " " + t.opcoes + "\n";
}

std::vector<std::string> quebrar_linha(const std::string& s, std::size_t largura) {
    std::vector<std::string> linhas;
    std::string resto = s;
    while (resto.size() > largura) {
        std::size_t corte = resto.rfind(' ', largura);
        if (corte == std::string::npos || corte == 0) corte = resto.find(' ', largura);
        if (corte == std::string::npos) break;
        linhas.push_back(resto.substr(0, corte));
        resto = resto.substr(corte + 1);
    }
    linhas.push_back(resto);
    return linhas;
}

std::string titulo_gp(const std::vector<std::string>& linhas) {
    std::string t = "set title ";
    for (std::size_t i = 0; i < linhas.size(); ++i) t += (i ? ".\"\\n\"." : "") + texto_gp(linhas[i]);
    return t + " noenhanced\n";
}

std::string legenda_embaixo(std::size_t entradas, std::size_t maior_rotulo) {
    // cerca de 7 pontos por caractere na fonte de 12, mais a amostra da curva: quantas colunas cabem em 800
    const std::size_t coluna = 7 * maior_rotulo + 80;
    const std::size_t colunas = std::clamp<std::size_t>(760 / coluna, 1, 4);
    const std::size_t linhas = (entradas + colunas - 1) / colunas;
    return "set key outside below center noenhanced vertical Left reverse width 0 maxrows " +
           std::to_string(std::max<std::size_t>(linhas, 1)) + "\nset bmargin " + std::to_string(6 + linhas) + "\n";
}

std::string aviso_sem_figuras(resultado_gnuplot r, const std::string& prefixo, formato_figura f) {
    const std::string dados = "; the data and the script " + nome_para_programa(prefixo + ".gp") + " are written";
    if (r == resultado_gnuplot::sem_terminal)
        return std::string("gnuplot has no ") + terminal_de(f).nome + " terminal (it was built without cairo), so the "
               "--plot-format " + nome_do_formato(f) + " figures were not drawn" + dados +
               " (install a gnuplot with cairo, such as Debian's gnuplot-nox, or use --plot-format svg)";
    return "gnuplot not found, so the --plot figures were not drawn (install gnuplot-nox)" + dados;
}

// A mensagem do gnuplot que diz o que falhou: a última linha não vazia (as anteriores ecoam o comando e marcam a
// coluna com ^), com o roteiro pelo nome que ele terá em vez do descritor que o gnuplot leu.
std::string erro_do_gnuplot(std::string erros, const std::string& temporario, const std::string& nome) {
    while (!erros.empty() && (erros.back() == '\n' || erros.back() == ' ')) erros.pop_back();
    std::string l = erros.substr(erros.rfind('\n') == std::string::npos ? 0 : erros.rfind('\n') + 1);
    for (std::size_t i; !temporario.empty() && (i = l.find(temporario)) != std::string::npos;)
        l.replace(i, temporario.size(), nome);
    return l;
}

resultado_gnuplot executar_gnuplot(const std::vector<std::pair<std::string, std::string>>& variaveis,
                                   const std::string& roteiro, const std::string& nome_do_roteiro) {
    std::string comandos;
    for (const auto& [nome, valor] : variaveis) comandos += nome + " = " + texto_gp(nome_para_programa(valor)) + "; ";
    std::string erros;
    const int r = executar_programa({"gnuplot", "-e", comandos, nome_para_programa(roteiro)}, &erros);
    if (r == -1) return resultado_gnuplot::sem_gnuplot;
    if (r == status_sem_terminal) return resultado_gnuplot::sem_terminal;
    if (r != 0) {
        const std::string motivo = erro_do_gnuplot(erros, nome_para_programa(roteiro), nome_do_roteiro);
        throw erro_fatal("gnuplot failed (exit status " + std::to_string(r) + ") drawing the --plot figures" +
                         (motivo.empty() ? std::string() : ": " + motivo));
    }
    return resultado_gnuplot::desenhou;
}

std::string variavel_gp(const char* nome, const std::string& valor) {
    return std::string("if (!exists(") + texto_gp(nome) + ")) " + nome + " = " + texto_gp(nome_para_programa(valor)) +
           "\n";
}

std::string dado_gp(double v) {
    if (!std::isfinite(v)) return "?";
    char b[40];
    std::snprintf(b, sizeof b, "%.9g", v);
    return b;
}
