// Números escritos por pessoas, pela regra do arquivo de entrada: a mesma na entrada e na linha de comando (--set,
// --omega, --pre, -j, ...). Brancos antes pulados; o valor vai até o primeiro branco, vírgula ou barra; inteiros com
// sinal opcional e dígitos; reais com ponto e expoente E ou D opcionais, sempre decimais e finitos.
#pragma once

#include <string>

// Um número separado do que o segue no mesmo texto.
struct texto_de_numero {
    std::string valor; // até o primeiro branco, vírgula ou barra (brancos do começo pulados)
    std::string resto; // o terminador e o que vem depois (vazio: nada)
};
/// Separa o valor do resto, como a leitura de um valor sem aspas.
texto_de_numero separar_numero(const std::string& texto);

enum class leitura_numero { certo, sintaxe, faixa };
/// Inteiro de 32 bits com sinal opcional, o texto inteiro; v só muda quando certo.
leitura_numero ler_inteiro_decimal(const std::string& s, int& v);
/// Real decimal (sinal, dígitos com ponto opcional, expoente E ou D), finito; v só muda quando certo.
leitura_numero ler_real_decimal(const std::string& s, double& v);
